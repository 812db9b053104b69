#include "mp3info/genre_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace mp3info {
namespace {

TEST(GenreNames, HoldsExactly148NamesWithTheirKnownQuirks) {
  ASSERT_EQ(GenreNames.size(), 148u);
  EXPECT_EQ(GenreNames[0], "Blues");
  EXPECT_EQ(GenreNames[17], "Rock");
  EXPECT_EQ(GenreNames[21], "Ska");
  EXPECT_EQ(GenreNames[42], GenreNames[21]);
  EXPECT_EQ(GenreNames[99], "Acoustic ");  // the blank is part of the name
  EXPECT_EQ(GenreNames[136], "Christian Gangsta");
  EXPECT_EQ(GenreNames[140], "Contemporary C");
  EXPECT_EQ(GenreNames[147], "SynthPop");
  const auto longest =
      std::max_element(GenreNames.begin(), GenreNames.end(),
                       [](std::string_view a, std::string_view b) { return a.size() < b.size(); });
  EXPECT_EQ(longest->size(), 17u);
}

// Catches a misspelt, dropped or swapped name anywhere in the table. The value is FNV-1a 64 of
// the 148 names joined by '\n', worked out once by a separate script from the published list.
TEST(GenreNames, MatchesThePublishedListByteForByte) {
  std::string joined;
  for (const std::string_view name : GenreNames) {
    if (!joined.empty()) joined += '\n';
    joined += name;
  }
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : joined) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3u;
  }
  EXPECT_EQ(joined.size(), 1323u);
  EXPECT_EQ(hash, 0xbba949b16822ff15u);
}

TEST(GenreName, NamesOnlyNumbers0To147) {
  EXPECT_EQ(GenreName(0), "Blues");
  EXPECT_EQ(GenreName(147), "SynthPop");
  for (const std::int64_t number :
       {std::int64_t{-1}, std::int64_t{148}, std::int64_t{255}, std::int64_t{256} + 17,
        std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(GenreName(number), std::nullopt) << number;
  }
}

}  // namespace
}  // namespace mp3info
