#include "settings/compose_settings.h"

#include "text/shift_jis.h"

namespace settings {
namespace {

constexpr std::string_view kEntryKeyPrefix = "Default";

}  // namespace

std::string EntryKey(std::size_t index) {
  return std::string(kEntryKeyPrefix) + std::to_string(index);
}

std::optional<std::int32_t> EntryKeyIndex(std::string_view key) {
  if (key.size() <= kEntryKeyPrefix.size() ||
      text::fold_ascii_case(key.substr(0, kEntryKeyPrefix.size())) !=
          text::fold_ascii_case(kEntryKeyPrefix)) {
    return std::nullopt;
  }
  const std::string_view digits = key.substr(kEntryKeyPrefix.size());
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  std::int64_t index = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
    if (index > INT32_MAX) return std::nullopt;
  }
  return static_cast<std::int32_t>(index);
}

std::string ComposeEntry(const TDefaultItem& item) {
  // The markers keep a literal's outer blanks, which the file would lose around a value.
  if (item.Code == FieldLiteral) return "0" + item.Text + "/";
  return std::to_string(item.Code);
}

std::string ComposeTime(std::int32_t format, std::string_view separator) {
  return std::to_string(format) + std::string(separator) + "/";
}

std::string ComposeLabelList(std::span<const std::string> labels) {
  std::string list = "/";
  for (const std::string& label : labels) list.append(label).append("/");
  return list;
}

std::string ComposeBitrates(std::span<const std::string> labels, bool show_vbr_as_bitrate) {
  return ComposeLabelList(labels) + (show_vbr_as_bitrate ? "1" : "0");
}

}  // namespace settings
