#include "settings/label_list.h"

namespace settings {

std::string_view SplitLabelList(std::string_view list, std::span<std::string> labels) {
  for (std::string& label : labels) {
    const std::size_t slash = list.find('/');
    if (slash == std::string_view::npos) {
      // No "/" left: this and every further label is empty, and the rest stays as it is.
      label.clear();
      continue;
    }
    label.assign(list.substr(0, slash));
    list.remove_prefix(slash + 1);
  }
  return list;
}

}  // namespace settings
