// A whole evaluation of arbitrary file bytes with arbitrary settings: read, then every answer.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fileio/memory_file_system.h"
#include "mp3info/answer.h"
#include "mp3info/evaluate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  settings::TMp3Settings settings;
  settings.TrackOption = input.ConsumeIntegral<std::int32_t>();
  settings.TimeFormat = input.ConsumeIntegral<std::int32_t>();
  settings.TimeSeparator = input.ConsumeRandomLengthString(4);
  settings.ShowVbrAsBitrate = input.ConsumeBool();
  for (auto& label : settings.BitrateLabels) label = input.ConsumeRandomLengthString(3);
  const auto entries = input.ConsumeIntegralInRange<int>(0, 8);
  for (int i = 0; i < entries; ++i) {
    settings.DefaultItems.push_back(
        {input.ConsumeRandomLengthString(3), input.ConsumeIntegralInRange<std::int32_t>(-2, 13)});
  }
  const std::string parameter = input.ConsumeRandomLengthString(2);

  fileio::MemoryFileSystem files;
  files.add("C:\\a.mp3", input.ConsumeRemainingBytesAsString());
  mp3info::TMp3FileInfo info;
  std::string result;
  mp3info::MacroRequest request{parameter, "C:\\", "a.mp3", false, 1};
  const char* answer = mp3info::EvaluateMacro(request, settings, info, result, files);
  if (answer == nullptr || files.open_files() != 0) __builtin_trap();
  for (const char letter : std::string("PTANYGSBFVC")) {
    request.Parameter = std::string_view(&letter, 1);
    request.ReadFlag = 0;
    mp3info::EvaluateMacro(request, settings, info, result, files);
  }
  // The indexes only ever point into the label tables.
  if (info.BitrateIndex < -1 || info.BitrateIndex > 16 || info.SamplingIndex > 3 ||
      info.VbrFlag > 1 || info.ChannelMode > 3) {
    __builtin_trap();
  }
  return 0;
}
