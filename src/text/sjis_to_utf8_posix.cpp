#include <iconv.h>

#include <cerrno>

#include "text/shift_jis.h"

namespace text {

std::string sjis_to_utf8(std::string_view sjis) {
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(sjis);
  out.reserve(sjis.size() * 2);
  char* in = const_cast<char*>(sjis.data());
  std::size_t in_left = sjis.size();
  char buffer[256];
  while (in_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &in_left, &dst, &dst_left);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not Shift-JIS
      ++in;
      --in_left;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace text
