#pragma once

// The stored forms of the settings' values: the inverse of what LoadSettings decodes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/mp3_settings.h"

namespace settings {

// "Default" + index in decimal: the key of composition entry `index`.
std::string EntryKey(std::size_t index);
// The index that an entry key names, whatever its letter case; nullopt for any other key
// (leading zeros included: "Default03" is not the key of entry 3).
std::optional<std::int32_t> EntryKeyIndex(std::string_view key);

// A literal as "0" + its text + "/"; any other code in decimal, also one outside 1 to 11.
std::string ComposeEntry(const TDefaultItem& item);
// "DataS": the format in decimal, the separator, "/".
std::string ComposeTime(std::int32_t format, std::string_view separator);
// "DataF", "DataV", "DataC": "/" and each label followed by "/".
std::string ComposeLabelList(std::span<const std::string> labels);
// "DataB": the label list, then "1" when VBR files show label 16, else "0".
std::string ComposeBitrates(std::span<const std::string> labels, bool show_vbr_as_bitrate);

}  // namespace settings
