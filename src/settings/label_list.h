#pragma once

#include <span>
#include <string>
#include <string_view>

namespace settings {

// Splits "a/b/c/..." (the stored list without its leading "/") into `labels` in order and
// returns what is left after the last label's "/". Missing labels become empty.
std::string_view SplitLabelList(std::string_view list, std::span<std::string> labels);

}  // namespace settings
