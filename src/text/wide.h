#pragma once

// Code page 932 <-> UTF-16 through the W APIs, so Shift-JIS texts and paths work whatever the
// system's ANSI code page is (Wine's default is 1252).

#include <optional>
#include <string>
#include <string_view>

namespace text {

// Invalid Shift-JIS bytes become U+30FB, as MultiByteToWideChar does.
std::wstring sjis_to_wide(std::string_view sjis);
// nullopt when `sjis` is not valid Shift-JIS: a path that cannot be converted exactly must
// not open some other file.
std::optional<std::wstring> sjis_to_wide_exact(std::string_view sjis);
std::string wide_to_utf8(std::wstring_view wide);
std::wstring utf8_to_wide(std::string_view utf8);
// Characters without a code page 932 form become "?".
std::string wide_to_sjis_best(std::wstring_view wide);
// nullopt when a character has no exact code page 932 form.
std::optional<std::string> wide_to_sjis_exact(std::wstring_view wide);

}  // namespace text
