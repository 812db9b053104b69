#include "text/shift_jis.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(Utf8ToSjis, ConvertsTheInterfacesTextsByteForByte) {
  struct Case {
    const char* utf8;
    const char* sjis;
  } const cases[] = {
      {"CBR/VBR", "CBR/VBR"},
      {"\xE2\x84\x96", "\x87\x82"},                      // № (a code page 932 extension)
      {"\xEF\xBD\xB0", "\xB0"},                          // ｰ half-width long vowel mark
      {"\xE8\xA1\xA8", "\x95\x5C"},                      // 表, trail byte 0x5C
      {"\xEF\xBC\xAD\xEF\xBC\xB3", "\x82\x6C\x82\x72"},  // ＭＳ
      {"\xC3\xA9", "?"},                                 // é has no Shift-JIS form
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_to_sjis(c.utf8), c.sjis) << c.utf8;
}

TEST(SjisToUtf8, ConvertsDoubleByteCharacters) {
  EXPECT_EQ(sjis_to_utf8("\x95\x5C"), "\xE8\xA1\xA8");
  EXPECT_EQ(sjis_to_utf8("a\x87\x82"), "a\xE2\x84\x96");
}

#if !defined(_WIN32)
// Windows maps such bytes to characters of its own (0xFF to U+F8F3).
TEST(SjisToUtf8, ReplacesBytesThatAreNotShiftJis) {
  EXPECT_EQ(sjis_to_utf8("a\xFF"
                         "b"),
            "a\xEF\xBF\xBD"
            "b");
}
#endif

TEST(EndsWithSingleByteBackslash, WalksCharactersFromTheStart) {
  EXPECT_TRUE(ends_with_single_byte_backslash("C:\\"));
  EXPECT_FALSE(ends_with_single_byte_backslash("C:\\\x95\x5C"));
  EXPECT_TRUE(ends_with_single_byte_backslash("\x95\x5C\\"));
  EXPECT_FALSE(ends_with_single_byte_backslash(""));
}

TEST(FoldAsciiCase, NeverFoldsATrailByte) {
  EXPECT_EQ(fold_ascii_case("DeFault0"), "default0");
  EXPECT_EQ(fold_ascii_case("\x83\x41X"), "\x83\x41x");
}

}  // namespace
}  // namespace text
