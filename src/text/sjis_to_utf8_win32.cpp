#include "text/shift_jis.h"
#include "text/wide.h"

namespace text {

std::string sjis_to_utf8(std::string_view sjis) { return wide_to_utf8(sjis_to_wide(sjis)); }

std::string utf8_to_sjis(std::string_view utf8) { return wide_to_sjis_best(utf8_to_wide(utf8)); }

}  // namespace text
