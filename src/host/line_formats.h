#pragma once

// The escapes of the one-line-per-file outputs.

#include <string>
#include <string_view>

namespace host {

// A TSV field: tab, CR, LF and backslash written as \t \r \n \\. In Shift-JIS text (`sjis`)
// a 0x5C that is the second byte of a character is part of it and stays.
void AppendTsvField(std::string& out, std::string_view value, bool sjis);

// The inside of a JSON string from UTF-8; a byte that is no part of a valid sequence becomes
// the lone surrogate U+DC00 + byte (Python's "surrogateescape"), so the bytes can be had back.
void AppendJsonUtf8(std::string& out, std::string_view utf8);

// The inside of a JSON string from Shift-JIS, converted to UTF-8; a byte that is no part of a
// character becomes U+DC00 + byte, as above.
void AppendJsonSjis(std::string& out, std::string_view sjis);

}  // namespace host
