#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mp3info {

extern const std::array<std::string_view, 148> GenreNames;

// GenreNames[number] for 0 to 147; nullopt for any other number.
std::optional<std::string_view> GenreName(std::int64_t number);

}  // namespace mp3info
