#pragma once

#include <cstddef>
#include <cstdint>

#include "fileio/file_system.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// The tag body is scanned through a window of this many bytes, whatever size the tag claims.
constexpr std::size_t kId3v2WindowSize = 16 * 1024;

// Reads the ID3v2 tag at the start of `file` (whose first three bytes are "ID3"), fills the
// tag texts it finds frames for, and returns the audio offset: the tag size plus 10.
std::uint64_t ReadId3v2Tag(fileio::RandomAccessFile& file, const settings::TMp3Settings& settings,
                           TMp3FileInfo& info, std::size_t window_size = kId3v2WindowSize);

}  // namespace mp3info
