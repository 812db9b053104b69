#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mp3info {

// The playing-time text. Time format 0 writes seconds only; any other writes hours (from 3601
// seconds on), minutes and seconds joined by `separator`, the minutes filled by the format
// (1 "0", 2 blank, else none). A negative number of seconds gives the empty text.
std::string FormatPlayTime(std::int32_t seconds, std::int32_t time_format,
                           std::string_view separator);

}  // namespace mp3info
