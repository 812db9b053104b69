#include "mp3info/track_number.h"

#include <gtest/gtest.h>

namespace mp3info {
namespace {

TEST(PadTrackNumber, WidensOnlyOneByteTexts) {
  struct Case {
    const char* track;
    std::int32_t option;
    const char* expected;
  } const cases[] = {
      {"7", 0, "7"},   {"7", 1, "07"}, {"7", 2, " 7"},       {"5", 1, "05"},
      {"12", 1, "12"}, {"", 1, ""},    {"3/12", 2, "3/12"},  {"0", 1, "00"},
      {"7", -1, "7"},  {"7", 3, "7"},  {"\x82", 1, "0\x82"},  // a lone byte counts as one, whatever
                                                              // it is
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PadTrackNumber(c.track, c.option), c.expected)
        << "track '" << c.track << "' option " << c.option;
  }
}

}  // namespace
}  // namespace mp3info
