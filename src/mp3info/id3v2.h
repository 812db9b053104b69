#pragma once

#include <cstdint>

#include "fileio/file_system.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// Reads the ID3v2 tag at the start of `file` (whose first three bytes are "ID3"), fills the
// tag texts it finds frames for, and returns the audio offset: the tag size plus 10.
std::uint64_t ReadId3v2Tag(fileio::RandomAccessFile& file, const settings::TMp3Settings& settings,
                           TMp3FileInfo& info);

}  // namespace mp3info
