#include "mp3info/evaluate.h"

#include "mp3info/answer.h"
#include "mp3info/audio_header.h"
#include "mp3info/file_path.h"
#include "mp3info/id3v1.h"
#include "mp3info/id3v2.h"
#include "mp3info/play_time.h"

namespace mp3info {

const char kStaticEmptyText[1] = {'\0'};

bool ReadMp3File(std::string_view path, const settings::TMp3Settings& settings, TMp3FileInfo& info,
                 fileio::FileSystem& files) {
  info = TMp3FileInfo{};
  const auto file = files.open_exclusive_read(path);
  if (!file) return false;

  char magic[3] = {};
  const bool has_id3v2 = file->read_at(0, magic, sizeof magic) == sizeof magic &&
                         std::string_view(magic, sizeof magic) == "ID3";
  // Exactly one tag reader runs: a file led by an ID3v2 tag is never searched for ID3v1.
  std::uint64_t audio_offset = 0;
  if (has_id3v2) {
    audio_offset = ReadId3v2Tag(*file, settings, info);
  } else {
    ReadId3v1Tag(*file, settings, info);
  }
  if (const auto seconds = ReadAudioHeader(*file, audio_offset, settings, info)) {
    info.PlayTime = FormatPlayTime(*seconds, settings.TimeFormat, settings.TimeSeparator);
  }
  return true;
}

const char* EvaluateMacro(const MacroRequest& request, const settings::TMp3Settings& settings,
                          TMp3FileInfo& info, std::string& ExecResultText,
                          fileio::FileSystem& files) {
  if (request.SkipFlag) return kStaticEmptyText;
  if (request.ReadFlag == 1) {
    const std::string path = BuildFilePath(request.Folder, request.FileName);
    if (!ReadMp3File(path, settings, info, files)) return kStaticEmptyText;
  }
  AssembleAnswer(request.Parameter, settings, info, ExecResultText);
  return ExecResultText.empty() ? kStaticEmptyText : ExecResultText.c_str();
}

}  // namespace mp3info
