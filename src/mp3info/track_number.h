#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mp3info {

// Widens a one-byte track text by the track option: 1 puts "0" before it, 2 a blank; any other
// option, and a text of any other length, leaves it as it is.
std::string PadTrackNumber(std::string_view track, std::int32_t track_option);

}  // namespace mp3info
