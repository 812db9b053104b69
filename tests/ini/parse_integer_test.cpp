#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "ini/ini_file.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Case {
  const char* what;
  std::string_view text;
  std::optional<std::int32_t> expected;
};

TEST(ParseInteger, ReadsIntegersAsTheClassLibraryDoes) {
  const Case cases[] = {
      {"zero", "0", 0},
      {"decimal", "123", 123},
      {"leading zeros", "007", 7},
      {"plus sign", "+5", 5},
      {"minus sign", "-5", -5},
      {"minus zero", "-0", 0},
      {"highest", "2147483647", kMax},
      {"lowest", "-2147483648", kMin},
      {"dollar hex", "$FF", 255},
      {"dollar hex lower case", "$ff", 255},
      {"0x hex", "0x1F", 31},
      {"0X hex", "0X1f", 31},
      {"hex zero", "$0", 0},
      {"hex highest", "$7FFFFFFF", kMax},
      {"hex pattern with the top bit is negative", "$80000000", kMin},
      {"hex all ones is -1", "$FFFFFFFF", -1},
      {"0x all ones is -1", "0xffffffff", -1},
      {"hex leading zeros count by value", "$000000001", 1},
      {"sign before dollar", "-$1", -1},
      {"plus before 0x", "+0x10", 16},
      {"minus before 0x", "-0x10", -16},
      {"minus all ones", "-$FFFFFFFF", 1},
      {"minus lowest pattern wraps", "-$80000000", kMin},
      {"leading blanks are skipped", "  12", 12},
      {"leading blank before a sign", " -$10", -16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini::parse_integer(c.text), c.expected) << c.what << ": \"" << c.text << '"';
  }
}

TEST(ParseInteger, RejectsWhatIsNotAnInteger) {
  const Case cases[] = {
      {"empty", "", std::nullopt},
      {"lone plus", "+", std::nullopt},
      {"lone minus", "-", std::nullopt},
      {"lone dollar", "$", std::nullopt},
      {"lone 0x", "0x", std::nullopt},
      {"lone 0X", "0X", std::nullopt},
      {"sign and lone prefix", "-$", std::nullopt},
      {"decimal overflow", "2147483648", std::nullopt},
      {"plus decimal overflow", "+2147483648", std::nullopt},
      {"negative overflow", "-2147483649", std::nullopt},
      {"far overflow", "99999999999", std::nullopt},
      {"nine significant hex digits", "$100000000", std::nullopt},
      {"trailing letter", "12a", std::nullopt},
      {"trailing blank", "12 ", std::nullopt},
      {"decimal point", "1.5", std::nullopt},
      {"bad hex digit", "$G", std::nullopt},
      {"hex with trailing junk", "0x1G", std::nullopt},
      {"x without zero", "x1F", std::nullopt},
      {"sign after prefix", "$-1", std::nullopt},
      {"two signs", "--1", std::nullopt},
      {"mixed signs", "+-1", std::nullopt},
      {"binary prefix", "0b1", std::nullopt},
      {"full-width digit", "\x82\x50", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini::parse_integer(c.text), c.expected) << c.what << ": \"" << c.text << '"';
  }
}

}  // namespace
