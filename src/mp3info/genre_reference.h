#pragma once

#include <string>
#include <string_view>

namespace mp3info {

// Turns a right-trimmed genre text that may start with a reference such as "(17)" into the
// genre: "(17)" gives "Rock", "(17)Rock & Roll" the text after the reference, "((17)" the text
// "(17)". A text without ")" stays as it is; "(RX)" and "(CR)" alone give "Remix" and "Cover";
// any other reference that is no number in 0-147 gives the text after it.
std::string ResolveGenreReference(std::string_view genre);

}  // namespace mp3info
