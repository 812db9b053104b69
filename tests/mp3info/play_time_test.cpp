#include "mp3info/play_time.h"

#include <gtest/gtest.h>

namespace mp3info {
namespace {

struct Case {
  std::int32_t seconds;
  const char* format0;
  const char* format1;
  const char* format2;
  const char* format3;
};

TEST(FormatPlayTime, WritesEveryFormat) {
  const Case cases[] = {
      {0, "0", "00:00", " 0:00", "0:00"},
      {59, "59", "00:59", " 0:59", "0:59"},
      {246, "246", "04:06", " 4:06", "4:06"},
      {3600, "3600", "60:00", "60:00", "60:00"},  // hours only from 3601 on
      {3601, "3601", "1:00:01", "1: 0:01", "1:0:01"},
      {3725, "3725", "1:02:05", "1: 2:05", "1:2:05"},
      {360000, "360000", "100:00:00", "100: 0:00", "100:0:00"},  // hours have no upper bound
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(FormatPlayTime(c.seconds, 0, ":"), c.format0);
    EXPECT_EQ(FormatPlayTime(c.seconds, 1, ":"), c.format1);
    EXPECT_EQ(FormatPlayTime(c.seconds, 2, ":"), c.format2);
    EXPECT_EQ(FormatPlayTime(c.seconds, 3, ":"), c.format3);
  }
}

TEST(FormatPlayTime, AppendsTheSeparatorAsStoredWhateverItsLength) {
  EXPECT_EQ(FormatPlayTime(246, 3, "'"), "4'06");
  EXPECT_EQ(FormatPlayTime(246, 1, ""), "0406");
  EXPECT_EQ(FormatPlayTime(3725, 1, "\x95\xAA"),
            "1\x95\xAA"
            "02\x95\xAA"
            "05");
  EXPECT_EQ(FormatPlayTime(246, 3, "--<>--"), "4--<>--06");
}

TEST(FormatPlayTime, FormatsOutsideTheDialogsRangeWriteUnfilledMinutes) {
  EXPECT_EQ(FormatPlayTime(246, 9, ":"), "4:06");
  EXPECT_EQ(FormatPlayTime(246, -1, ":"), "4:06");
}

TEST(FormatPlayTime, NegativeSecondsGiveAnEmptyText) {
  for (const std::int32_t format : {0, 1, 2, 3}) {
    EXPECT_EQ(FormatPlayTime(-1, format, ":"), "");
    EXPECT_EQ(FormatPlayTime(-3725, format, ":"), "");
  }
}

}  // namespace
}  // namespace mp3info
