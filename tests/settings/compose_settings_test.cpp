#include "settings/compose_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "settings/label_list.h"

namespace settings {
namespace {

TEST(ComposeSettings, EntriesKeepALiteralsBlanksBetweenMarkersAndAnyCodeInDecimal) {
  struct Case {
    TDefaultItem item;
    const char* stored;
  } const cases[] = {
      {{" - ", FieldLiteral}, "0 - /"},
      {{"", FieldLiteral}, "0/"},
      {{"/abc", FieldLiteral}, "0/abc/"},
      {{"", FieldArtist}, "1"},
      {{"", FieldChannelMode}, "11"},
      {{"", 12}, "12"},
      {{"", -3}, "-3"},
  };
  for (const Case& c : cases) EXPECT_EQ(ComposeEntry(c.item), c.stored) << c.stored;
}

TEST(ComposeSettings, TimeIsTheFormatTheSeparatorAndASlash) {
  EXPECT_EQ(ComposeTime(3, "'"), "3'/");
  EXPECT_EQ(ComposeTime(0, "x"), "0x/");
  EXPECT_EQ(ComposeTime(1, " "), "1 /");
  EXPECT_EQ(ComposeTime(2, ""), "2/");
}

TEST(ComposeSettings, LabelListsAreTheInverseOfSplitting) {
  const std::array<std::string, 4> labels = {" a ", "", "\x83\x5c", "d"};  // ソ ends in 0x5C
  const std::string list = ComposeLabelList(labels);
  EXPECT_EQ(list, "/ a //\x83\x5c/d/");
  std::array<std::string, 4> split;
  EXPECT_EQ(SplitLabelList(std::string_view(list).substr(1), split), "");
  EXPECT_EQ(split, labels);
}

TEST(ComposeSettings, BitratesEndInTheVbrFlag) {
  const std::array<std::string, 2> labels = {"x", ""};
  EXPECT_EQ(ComposeBitrates(labels, false), "/x//0");
  EXPECT_EQ(ComposeBitrates(labels, true), "/x//1");
}

TEST(ComposeSettings, EntryKeysNameTheirIndexWhateverTheLetterCase) {
  EXPECT_EQ(EntryKey(0), "Default0");
  EXPECT_EQ(EntryKey(10), "Default10");
  struct Case {
    const char* key;
    std::optional<std::int32_t> index;
  } const cases[] = {
      {"Default0", 0},   {"default12", 12}, {"DEFAULT2147483647", 2147483647},
      {"Default", {}},   {"Default03", {}}, {"Default2147483648", {}},
      {"Default+3", {}}, {"Defaults", {}},  {"DataN", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(EntryKeyIndex(c.key), c.index) << c.key;
}

}  // namespace
}  // namespace settings
