#include "host/line_formats.h"

#include <algorithm>

#include "text/shift_jis.h"

namespace host {
namespace {

bool is_sjis_trail_byte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

void append_json_escape(std::string& out, unsigned code) {
  constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
}

// The length of the UTF-8 sequence at the start of `text`, 0 when it is not one.
std::size_t utf8_sequence_length(std::string_view text) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = at(0);
  if (first < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;  // no surrogates
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return length;
}

// What the converter gives for a byte it cannot convert: U+FFFD (iconv) or U+30FB (Windows,
// which is also the real character 0x81 0x45).
bool is_conversion_mark(std::string_view utf8, std::string_view sjis) {
  return utf8 == "\xEF\xBF\xBD" || (utf8 == "\xE3\x83\xBB" && sjis != "\x81\x45");
}

// Windows converts these lone bytes to U+0080, U+F8F0 to U+F8F3; no Shift-JIS character is
// made of them, and the JSON must not depend on the build.
bool is_never_a_character(unsigned char byte) {
  return byte == 0x80 || byte == 0xA0 || byte >= 0xFD;
}

}  // namespace
void AppendTsvField(std::string& out, std::string_view value, bool sjis) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (sjis && text::is_sjis_lead_byte(byte) && i + 1 < value.size() &&
        is_sjis_trail_byte(static_cast<unsigned char>(value[i + 1]))) {
      out += value.substr(i, 2);
      ++i;
      continue;
    }
    switch (byte) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += static_cast<char>(byte);
    }
  }
}

void AppendJsonUtf8(std::string& out, std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = utf8_sequence_length(utf8.substr(i));
    if (length == 0) {
      append_json_escape(out, 0xDC00 + byte);
      ++i;
      continue;
    }
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      append_json_escape(out, byte);
    } else {
      out += utf8.substr(i, length);
    }
    i += length;
  }
}

void AppendJsonSjis(std::string& out, std::string_view sjis) {
  const std::string whole = text::sjis_to_utf8(sjis);
  if (whole.find("\xEF\xBF\xBD") == std::string::npos &&
      whole.find("\xE3\x83\xBB") == std::string::npos &&
      std::none_of(sjis.begin(), sjis.end(),
                   [](char c) { return is_never_a_character(static_cast<unsigned char>(c)); })) {
    AppendJsonUtf8(out, whole);
    return;
  }
  for (std::size_t i = 0; i < sjis.size();) {
    const auto byte = static_cast<unsigned char>(sjis[i]);
    if (byte < 0x80) {
      AppendJsonUtf8(out, sjis.substr(i, 1));
      ++i;
      continue;
    }
    const std::string_view unit =
        sjis.substr(i, text::is_sjis_lead_byte(byte) && i + 1 < sjis.size() ? 2 : 1);
    const std::string utf8 = text::sjis_to_utf8(unit);
    if (!is_never_a_character(byte) && !utf8.empty() && utf8_sequence_length(utf8) == utf8.size() &&
        !is_conversion_mark(utf8, unit)) {
      out += utf8;
      i += unit.size();
    } else {
      // The lead byte alone: the byte after it may start a character of its own.
      append_json_escape(out, 0xDC00 + byte);
      ++i;
    }
  }
}

}  // namespace host
