#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace mp3info {

// The macro letters in field-code order: 'P' is code 1, 'C' code 11.
inline constexpr std::string_view kMacroLetters = "PTANYGSBFVC";

// The field code of a macro letter (upper case only); nullopt for any other byte.
std::optional<std::int32_t> FieldCodeOfLetter(char letter);

// Appends what field code 1 to 11 contributes: the item's text, or the label of its index when
// the index is 0 or more. Other codes append nothing.
void AppendField(std::int32_t code, const settings::TMp3Settings& settings,
                 const TMp3FileInfo& info, std::string& out);

// The answer for `parameter`: the default composition when it is empty, the item of a
// one-letter parameter, else empty.
void AssembleAnswer(std::string_view parameter, const settings::TMp3Settings& settings,
                    const TMp3FileInfo& info, std::string& answer);

}  // namespace mp3info
