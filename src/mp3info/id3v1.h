#pragma once

#include "fileio/file_system.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// Looks for an ID3v1 tag in the last 128 bytes of `file` and fills the six tag texts of `info`
// when it finds one.
void ReadId3v1Tag(fileio::RandomAccessFile& file, const settings::TMp3Settings& settings,
                  TMp3FileInfo& info);

}  // namespace mp3info
