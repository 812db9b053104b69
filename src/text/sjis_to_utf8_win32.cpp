#include "text/shift_jis.h"
#include "text/wide.h"

namespace text {

std::string sjis_to_utf8(std::string_view sjis) { return wide_to_utf8(sjis_to_wide(sjis)); }

}  // namespace text
