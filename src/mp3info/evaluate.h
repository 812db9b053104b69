#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fileio/file_system.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// One evaluation request, as the host's record gives it (texts are Shift-JIS bytes).
struct MacroRequest {
  std::string_view Parameter;
  std::string_view Folder;
  std::string_view FileName;
  bool SkipFlag = false;
  std::int32_t ReadFlag = 0;
};

// The static empty text: always valid, returned for every empty answer.
extern const char kStaticEmptyText[1];

// Resets `info` and fills it from the file at `path`: tags, audio header, playing time. The file
// is opened once, exclusively, and closed before returning, on every path. False when it cannot
// be opened.
bool ReadMp3File(std::string_view path, const settings::TMp3Settings& settings, TMp3FileInfo& info,
                 fileio::FileSystem& files);

// Answers one request. A read (ReadFlag exactly 1) refills `info`; any other ReadFlag answers
// from `info` as the last read left it and touches no file. Returns the data of
// `ExecResultText`, or kStaticEmptyText for an empty answer and for the early exits (skip, a
// failed open), which leave `ExecResultText` as it was.
const char* EvaluateMacro(const MacroRequest& request, const settings::TMp3Settings& settings,
                          TMp3FileInfo& info, std::string& ExecResultText,
                          fileio::FileSystem& files);

}  // namespace mp3info
