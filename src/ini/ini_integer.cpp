#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "ini/ini_file.h"

namespace ini {
namespace {

std::optional<unsigned> hex_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> parse_integer(std::string_view text) {
  // Leading blanks are skipped, trailing ones are not, as the class library's conversion does.
  while (text.starts_with(' ')) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  if (text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(text.front() == '$' ? 1 : 2);
    if (text.empty()) return std::nullopt;
    // Any 32-bit pattern, read as signed: "$FFFFFFFF" is -1. A sign wraps like the class
    // library's negation, so "-$80000000" stays the lowest value.
    std::uint32_t pattern = 0;
    for (const char c : text) {
      const auto digit = hex_digit(c);
      if (!digit || pattern > 0x0FFFFFFFu) return std::nullopt;
      pattern = pattern << 4 | *digit;
    }
    if (negative) pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
  }

  if (text.empty()) return std::nullopt;
  // Accumulated as a magnitude, so the lowest value "-2147483648" fits.
  const std::uint32_t limit =
      negative ? std::uint32_t{1} << 31 : std::uint32_t{std::numeric_limits<std::int32_t>::max()};
  std::uint32_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint32_t>(c - '0');
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (negative) return static_cast<std::int32_t>(0u - magnitude);
  return static_cast<std::int32_t>(magnitude);
}

}  // namespace ini
