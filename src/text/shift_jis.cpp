#include "text/shift_jis.h"

namespace text {

bool ends_with_single_byte_backslash(std::string_view text) {
  // The role of a byte depends on everything before it, so walk from the start.
  std::size_t i = 0;
  bool last_is_backslash = false;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (is_sjis_lead_byte(byte) && i + 1 < text.size()) {
      last_is_backslash = false;
      i += 2;
    } else {
      last_is_backslash = byte == '\\';
      i += 1;
    }
  }
  return last_is_backslash;
}

std::string fold_ascii_case(std::string_view text) {
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto byte = static_cast<unsigned char>(folded[i]);
    if (is_sjis_lead_byte(byte)) {
      ++i;  // keep the trail byte
    } else if (byte >= 'A' && byte <= 'Z') {
      folded[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return folded;
}

}  // namespace text
