#pragma once

#include <string>
#include <string_view>

namespace text {

// Lead bytes of a double-byte character in code page 932.
constexpr bool is_sjis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True when the last character of `text` is a single-byte '\'. A 0x5C that is the trail byte
// of a double-byte character (as in "表" = 0x95 0x5C) does not count.
bool ends_with_single_byte_backslash(std::string_view text);

// Folds ASCII letters to lower case and leaves both bytes of every double-byte character as
// they are, so 0x83 0x41 and 0x83 0x61 stay different.
std::string fold_ascii_case(std::string_view text);

// Converts Shift-JIS (code page 932) bytes to UTF-8. Bytes that are not valid Shift-JIS are
// replaced by U+FFFD.
std::string sjis_to_utf8(std::string_view sjis);

// Converts UTF-8 to Shift-JIS (code page 932), for the user interface's fixed texts, which the
// source spells in UTF-8. A character without a code page 932 form becomes "?".
std::string utf8_to_sjis(std::string_view utf8);

}  // namespace text
