#include "settings/load_settings.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/compose_settings.h"
#include "settings/label_list.h"

namespace settings {
namespace {

constexpr std::string_view kCountKey = "Default";
constexpr std::string_view kEntryDefault = "0";
constexpr std::int32_t kTrackOptionDefault = 1;
constexpr std::string_view kTimeDefault = "3'/";
constexpr std::string_view kBitrateDefault =
    "//32/40/48/56/64/80/96/112/128/160/192/224/256/320///0";
constexpr std::string_view kSamplingDefault = "/44100/48000/32000//";
constexpr std::string_view kVbrDefault = "//(VBR)/";
constexpr std::string_view kChannelDefault = "/Stereo/JointStereo/DualChannel/SingleChannel/";

// A "Default" count far beyond the entry keys present (a fault of a hand-edited file) would
// make an entry for every missing key, billions of them: at most kMaxEntriesAfterLast are made
// after the highest entry key present, and loading stops after kMaxMissingEntries missing keys
// in all, so that one stray far key ("Default2000000000") cannot make billions either.
constexpr std::int64_t kMaxEntriesAfterLast = 1024;
constexpr std::int64_t kMaxMissingEntries = std::int64_t{1} << 16;

std::int64_t highest_entry_index(const ini::IniFile& file, std::string_view section) {
  std::int64_t highest = -1;
  for (const std::string& key : file.keys(section)) {
    if (const auto index = EntryKeyIndex(key)) highest = std::max<std::int64_t>(highest, *index);
  }
  return highest;
}

// The value without its first and its last byte; empty when it has fewer than two.
std::string inner_text(std::string_view value) {
  return value.size() < 2 ? std::string() : std::string(value.substr(1, value.size() - 2));
}

TDefaultItem decode_entry(std::string_view value) {
  // An empty value has no first byte to decide by: it takes the key's default.
  if (value.empty()) value = kEntryDefault;
  if (value.front() != '0') {
    const auto code = ini::parse_integer(value);
    // Not an integer: the key's default, the empty literal.
    if (!code) return TDefaultItem{};
    if (*code != FieldLiteral) return TDefaultItem{.Text = {}, .Code = *code};
    // A zero not led by "0" (such as "+0") is a literal as well.
  }
  return TDefaultItem{.Text = inner_text(value), .Code = FieldLiteral};
}

void load_default_items(const ini::IniFile& file, std::string_view section,
                        std::vector<TDefaultItem>& items) {
  items.clear();
  const std::int32_t count = file.read_integer(section, kCountKey, 0);
  if (count <= 0) return;
  const std::int64_t limit =
      std::min<std::int64_t>(count, highest_entry_index(file, section) + 1 + kMaxEntriesAfterLast);
  std::int64_t missing = 0;
  for (std::int64_t i = 0; i < limit; ++i) {
    const auto value = file.find(section, EntryKey(static_cast<std::size_t>(i)));
    if (!value && ++missing > kMaxMissingEntries) break;
    items.push_back(decode_entry(value ? *value : kEntryDefault));
  }
}

void decode_time(std::string_view value, TMp3Settings& settings) {
  // No first byte, or one that is not a digit: the key's default.
  if (value.empty() || value.front() < '0' || value.front() > '9') value = kTimeDefault;
  settings.TimeFormat = value.front() - '0';
  settings.TimeSeparator = inner_text(value);
}

// False when what is left after the labels is not an integer.
bool decode_bitrate(std::string_view value, TMp3Settings& settings) {
  if (!value.empty()) value.remove_prefix(1);
  const std::string_view rest = SplitLabelList(value, settings.BitrateLabels);
  const auto flag = ini::parse_integer(rest);
  if (!flag) return false;
  settings.ShowVbrAsBitrate = *flag != 0;
  return true;
}

void decode_labels(std::string_view value, std::span<std::string> labels) {
  if (!value.empty()) value.remove_prefix(1);
  SplitLabelList(value, labels);  // what is left is ignored
}

}  // namespace

void LoadSettings(TMp3Settings& settings, fileio::FileSystem& files) {
  LoadSettingsFrom(ini::IniFile::load(files, settings.IniPath), settings);
}

void LoadSettingsFrom(const ini::IniFile& file, TMp3Settings& settings) {
  const std::string_view section = settings.IniSection;
  load_default_items(file, section, settings.DefaultItems);
  settings.TrackOption = file.read_integer(section, "DataN", kTrackOptionDefault);
  decode_time(file.read_string(section, "DataS", kTimeDefault), settings);
  // A tail that is not an integer makes the whole value its key's default.
  if (!decode_bitrate(file.read_string(section, "DataB", kBitrateDefault), settings)) {
    decode_bitrate(kBitrateDefault, settings);
  }
  decode_labels(file.read_string(section, "DataF", kSamplingDefault), settings.SamplingLabels);
  decode_labels(file.read_string(section, "DataV", kVbrDefault), settings.VbrLabels);
  decode_labels(file.read_string(section, "DataC", kChannelDefault), settings.ChannelLabels);
}

}  // namespace settings
