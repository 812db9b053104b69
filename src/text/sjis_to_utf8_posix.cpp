#include <iconv.h>

#include <cerrno>

#include "text/shift_jis.h"

namespace text {

namespace {

// One conversion descriptor per direction and thread, opened on first use: opening one costs
// more than converting a few short texts, and a descriptor must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Back to the initial state, whatever an earlier text left.
  iconv_t fresh() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

bool is_ascii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// ASCII is the same in both encodings (code page 932 keeps 0x5C and 0x7E as they are).
std::string convert(std::string_view input, Converter& converter, const char* from,
                    std::string_view replacement) {
  if (is_ascii(input)) return std::string(input);
  if (!converter.ok()) return std::string(input);
  iconv_t cd = converter.fresh();
  std::string out;
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
  return out;
}

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  thread_local Converter converter("UTF-8", "CP932");
  return convert(sjis, converter, "CP932", "\xEF\xBF\xBD");  // U+FFFD for a byte not Shift-JIS
}

std::string utf8_to_sjis(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  return convert(utf8, converter, "UTF-8", "?");
}

}  // namespace text
