#pragma once

#include <string_view>

namespace mp3info {

// A tag text ends at its first zero byte: the host reads answers as zero-terminated texts, and
// most tagging tools end every text with a zero.
constexpr std::string_view UntilFirstZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

// Removes trailing bytes 0x00-0x20 (zeros, control bytes and blanks). A Shift-JIS trail byte is
// never in that range, so no character is cut in half.
constexpr std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

}  // namespace mp3info
