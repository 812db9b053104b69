#pragma once

#include <cstdint>
#include <string_view>

namespace mp3info {

// The four bytes at the start of `bytes` (which holds at least four) as a big-endian number.
inline std::uint32_t read_be32(std::string_view bytes) {
  const auto byte = [&](std::size_t i) {
    return std::uint32_t{static_cast<unsigned char>(bytes[i])};
  };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

}  // namespace mp3info
