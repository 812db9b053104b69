#include <iconv.h>

#include <cerrno>

#include "text/shift_jis.h"

namespace text {

namespace {

std::string convert(std::string_view input, const char* to, const char* from,
                    std::string_view replacement) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  out.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char buffer[256];
  while (in_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &in_left, &dst, &dst_left);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += replacement;
      ++in;
      --in_left;
      // Skip the rest of a multi-byte character that could not be converted.
      while (in_left > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80 &&
             std::string_view(from) == "UTF-8") {
        ++in;
        --in_left;
      }
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  return convert(sjis, "UTF-8", "CP932", "\xEF\xBF\xBD");  // U+FFFD for a byte not Shift-JIS
}

std::string utf8_to_sjis(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8", "?"); }

}  // namespace text
