#include "mp3info/genre_reference.h"

#include <gtest/gtest.h>

namespace mp3info {
namespace {

TEST(ResolveGenreReference, ResolvesALeadingReference) {
  struct Case {
    const char* genre;
    const char* expected;
  } const cases[] = {
      // No reference: the text is the genre.
      {"", ""},
      {"Rock", "Rock"},
      {"17", "17"},
      {"Rock (17)", "Rock (17)"},
      // A bare number in 0-147 names the genre.
      {"(17)", "Rock"},
      {"(0)", "Blues"},
      {"(147)", "SynthPop"},
      {"(99)", "Acoustic "},
      {"(017)", "Rock"},
      {"(+17)", "Rock"},
      {"(-0)", "Blues"},
      // Out of range: what follows the reference, here nothing.
      {"(148)", ""},
      {"(200)", ""},
      {"(-1)", ""},
      {"(4294967313)", ""},  // 2^32 + 17 must not wrap to 17
      {"(99999999999999999999999)", ""},
      // Text after the reference wins; only the first reference is resolved.
      {"(17)Rock & Roll", "Rock & Roll"},
      {"(17)(24)", "(24)"},
      {"(200)Metal", "Metal"},
      // "((" escapes a text that begins with a parenthesis.
      {"((17)", "(17)"},
      {"((", "("},
      {"((Rock)", "(Rock)"},
      // Without ")" the text stays as it is.
      {"(", "("},
      {"(17", "(17"},
      {"(Rock", "(Rock"},
      // The two word references, alone.
      {"(RX)", "Remix"},
      {"(CR)", "Cover"},
      {"(RX)Dub", "Dub"},
      {"(rx)", ""},
      // Anything else between the parentheses is no number.
      {"()", ""},
      {"()Pop", "Pop"},
      {"(abc)Jazz", "Jazz"},
      {"( 17)", ""},
      {"(17 )", ""},
      {"(1 7)", ""},
      {"(+)", ""},
      {"(-)", ""},
      {"(+-1)", ""},
      {"(0x11)", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveGenreReference(c.genre), c.expected) << "genre '" << c.genre << "'";
  }
}

}  // namespace
}  // namespace mp3info
