#include "mp3info/genre_reference.h"

#include <cstdint>
#include <optional>

#include "mp3info/genre_names.h"

namespace mp3info {
namespace {

// An optional sign and decimal digits; nullopt for anything else, and for numbers far outside
// the table (they name no genre either way).
std::optional<std::int64_t> reference_number(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (number < 1'000'000) number = number * 10 + (c - '0');
  }
  return negative ? -number : number;
}

}  // namespace

std::string ResolveGenreReference(std::string_view genre) {
  if (genre.empty() || genre.front() != '(') return std::string(genre);
  // "((" stands for a text that itself begins with "(".
  if (genre.size() >= 2 && genre[1] == '(') return std::string(genre.substr(1));

  const auto close = genre.find(')');
  if (close == std::string_view::npos) return std::string(genre);
  const std::string_view inside = genre.substr(1, close - 1);
  const std::string_view rest = genre.substr(close + 1);
  if (rest.empty()) {
    // The two word references of ID3v2.3.
    if (inside == "RX") return "Remix";
    if (inside == "CR") return "Cover";
    if (const auto number = reference_number(inside)) {
      if (const auto name = GenreName(*number)) return std::string(*name);
    }
  }
  return std::string(rest);
}

}  // namespace mp3info
