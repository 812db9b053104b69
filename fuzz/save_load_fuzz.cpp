// Composing the stored values, writing them through the INI layer and loading them again gives
// back the same settings, whenever no label holds "/" (the list format has no escape for it).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "ini/ini_file.h"
#include "settings/compose_settings.h"
#include "settings/load_settings.h"

namespace {

// A line break would end the INI line: the dialogs never let one into a text.
std::string text(FuzzedDataProvider& input, std::size_t most, bool slash_allowed) {
  std::string value = input.ConsumeRandomLengthString(most);
  std::erase_if(value,
                [&](char c) { return c == '\r' || c == '\n' || (!slash_allowed && c == '/'); });
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  settings::TMp3Settings saved;
  saved.IniSection = "mac_Tunlex";
  const int entries = input.ConsumeIntegralInRange<int>(0, 20);
  for (int i = 0; i < entries; ++i) {
    std::int32_t code = input.ConsumeBool() ? 0 : input.ConsumeIntegral<std::int32_t>();
    saved.DefaultItems.push_back({code == 0 ? text(input, 8, true) : "", code});
  }
  saved.TrackOption = input.ConsumeIntegral<std::int32_t>();
  saved.TimeFormat = input.ConsumeIntegralInRange<std::int32_t>(0, 9);
  saved.TimeSeparator = text(input, 4, true);
  for (auto& label : saved.BitrateLabels) label = text(input, 6, false);
  saved.ShowVbrAsBitrate = input.ConsumeBool();
  for (auto& label : saved.SamplingLabels) label = text(input, 6, false);
  for (auto& label : saved.VbrLabels) label = text(input, 6, false);
  for (auto& label : saved.ChannelLabels) label = text(input, 6, false);

  auto file = ini::IniFile::parse(input.ConsumeRemainingBytesAsString());
  const std::string_view section = saved.IniSection;
  // What a save does: old entry keys go, every key is written in its encoding.
  for (const auto& key : file.keys(section)) {
    if (settings::EntryKeyIndex(key)) file.delete_key(section, key);
  }
  file.write_string(section, "Default", std::to_string(saved.DefaultItems.size()));
  for (std::size_t i = 0; i < saved.DefaultItems.size(); ++i) {
    file.write_string(section, settings::EntryKey(i),
                      settings::ComposeEntry(saved.DefaultItems[i]));
  }
  file.write_string(section, "DataN", std::to_string(saved.TrackOption));
  file.write_string(section, "DataS", settings::ComposeTime(saved.TimeFormat, saved.TimeSeparator));
  file.write_string(section, "DataB",
                    settings::ComposeBitrates(saved.BitrateLabels, saved.ShowVbrAsBitrate));
  file.write_string(section, "DataF", settings::ComposeLabelList(saved.SamplingLabels));
  file.write_string(section, "DataV", settings::ComposeLabelList(saved.VbrLabels));
  file.write_string(section, "DataC", settings::ComposeLabelList(saved.ChannelLabels));

  settings::TMp3Settings loaded;
  loaded.IniSection = saved.IniSection;
  settings::LoadSettingsFrom(ini::IniFile::parse(file.serialize()), loaded);
  if (!(loaded == saved)) __builtin_trap();
  return 0;
}
