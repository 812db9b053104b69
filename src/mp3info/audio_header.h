#pragma once

#include <cstdint>
#include <optional>

#include "fileio/file_system.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// Examines the frame header at `audio_offset`. When it accepts it, sets the four indexes of
// `info` and returns the playing time in seconds (-1 when it cannot be worked out); otherwise
// leaves the indexes at -1 and returns nullopt.
std::optional<std::int32_t> ReadAudioHeader(fileio::RandomAccessFile& file,
                                            std::uint64_t audio_offset,
                                            const settings::TMp3Settings& settings,
                                            TMp3FileInfo& info);

}  // namespace mp3info
