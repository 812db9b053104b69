#include "settings/load_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/memory_file_system.h"

namespace {

using settings::TDefaultItem;
using settings::TMp3Settings;

constexpr char kPath[] = "C:\\Host\\host.ini";
constexpr char kSection[] = "Tunlex";

}  // namespace

namespace settings {
// Readable failure messages.
void PrintTo(const TDefaultItem& item, std::ostream* os) {
  *os << "{code " << item.Code << ", \"" << item.Text << "\"}";
}
}  // namespace settings

namespace {

TDefaultItem Literal(std::string text) { return {.Text = std::move(text), .Code = 0}; }
TDefaultItem Field(std::int32_t code) { return {.Text = {}, .Code = code}; }

// The settings after loading from a file without any settings key.
TMp3Settings Defaults() {
  TMp3Settings s;
  s.IniPath = kPath;
  s.IniSection = kSection;
  s.TrackOption = 1;
  s.TimeFormat = 3;
  s.TimeSeparator = "'";
  s.BitrateLabels = {"",    "32",  "40",  "48",  "56",  "64",  "80", "96", "112",
                     "128", "160", "192", "224", "256", "320", "",   ""};
  s.ShowVbrAsBitrate = false;
  s.SamplingLabels = {"44100", "48000", "32000", ""};
  s.VbrLabels = {"", "(VBR)"};
  s.ChannelLabels = {"Stereo", "JointStereo", "DualChannel", "SingleChannel"};
  return s;
}

// The host's file with the section "[Tunlex]" holding these lines.
std::string SectionWith(std::initializer_list<std::string_view> lines) {
  std::string text = "[Tunlex]\r\n";
  for (const std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

TMp3Settings Load(std::string contents) {
  fileio::MemoryFileSystem files;
  files.add(kPath, std::move(contents));
  TMp3Settings s;
  s.IniPath = kPath;
  s.IniSection = kSection;
  settings::LoadSettings(s, files);
  return s;
}

TEST(LoadSettings, MissingFileGivesTheDefaults) {
  fileio::MemoryFileSystem files;
  TMp3Settings s;
  s.IniPath = kPath;
  s.IniSection = kSection;
  settings::LoadSettings(s, files);
  EXPECT_EQ(s, Defaults());
}

TEST(LoadSettings, UnreadableFileGivesTheDefaults) {
  fileio::MemoryFileSystem files;
  files.add(kPath, SectionWith({"DataN=2"}));
  files.set_held(kPath, true);
  TMp3Settings s;
  s.IniPath = kPath;
  s.IniSection = kSection;
  settings::LoadSettings(s, files);
  EXPECT_EQ(s, Defaults());
}

TEST(LoadSettings, SectionWithoutSettingsKeysGivesTheDefaults) {
  const TMp3Settings s = Load("[Other]\r\nDefault=1\r\nDefault0=1\r\nDataN=2\r\nDataS=0/\r\n" +
                              SectionWith({"Kind=3", "Unrelated=x", "; Default=1"}));
  EXPECT_EQ(s, Defaults());
  EXPECT_TRUE(s.DefaultItems.empty());
}

TEST(LoadSettings, StoredDefaultValuesLoadAsTheDefaults) {
  const TMp3Settings s = Load(SectionWith({
      "Default=0",
      "DataN=1",
      "DataS=3'/",
      "DataB=//32/40/48/56/64/80/96/112/128/160/192/224/256/320///0",
      "DataF=/44100/48000/32000//",
      "DataV=//(VBR)/",
      "DataC=/Stereo/JointStereo/DualChannel/SingleChannel/",
  }));
  EXPECT_EQ(s, Defaults());
}

TEST(LoadSettings, FillsEveryMemberButPathAndSection) {
  fileio::MemoryFileSystem files;
  files.add(kPath, SectionWith({"Default=1", "Default0=2"}));
  TMp3Settings s;
  s.IniPath = kPath;
  s.IniSection = "tunlex";
  s.DefaultItems = {Field(1), Field(1)};
  s.TimeSeparator = "old";
  s.BitrateLabels.fill("old");
  s.ShowVbrAsBitrate = true;
  s.ChannelLabels.fill("old");
  settings::LoadSettings(s, files);

  TMp3Settings expected = Defaults();
  expected.IniSection = "tunlex";
  expected.DefaultItems = {Field(2)};
  EXPECT_EQ(s, expected);
}

TEST(LoadSettings, StoredCompositionKeepsBothBlanksOfTheLiteral) {
  const TMp3Settings s = Load(SectionWith({
      "Default=4",
      "Default0=0 - /",
      "Default1=1",
      "Default2=0/",
      "Default3=2",
  }));
  EXPECT_EQ(s.DefaultItems,
            (std::vector<TDefaultItem>{Literal(" - "), Field(1), Literal(""), Field(2)}));
}

TEST(LoadSettings, DecodesEachEntryValue) {
  struct Case {
    const char* what;
    std::string_view value;
    TDefaultItem expected;
  };
  const Case cases[] = {
      {"empty literal", "0/", Literal("")},
      {"literal of one blank", "0 /", Literal(" ")},
      {"literal with inner slash", "0/abc/", Literal("/abc")},
      {"one byte", "0", Literal("")},
      {"last byte stripped whatever it is", "0abc", Literal("ab")},
      {"Shift-JIS literal", "0\x95\x5C/", Literal("\x95\x5C")},
      {"artist", "1", Field(1)},
      {"channel mode", "11", Field(11)},
      {"code out of range kept", "12", Field(12)},
      {"negative code kept", "-3", Field(-3)},
      {"hex code", "$A", Field(10)},
      {"0x code begins with 0 so it is a literal", "0x/", Literal("x")},
      {"+0 is a literal without first and last byte", "+0", Literal("")},
      {"+00 is the literal 0", "+00", Literal("0")},
      {"$0 is a literal", "$0", Literal("")},
      {"$00 is the literal 0", "$00", Literal("0")},
      {"empty value takes the default", "", Literal("")},
      {"not an integer takes the default", "abc/", Literal("")},
      {"trailing junk takes the default", "1a", Literal("")},
      {"overflow takes the default", "99999999999", Literal("")},
  };
  for (const Case& c : cases) {
    const TMp3Settings s = Load(SectionWith({"Default=1", "Default0=" + std::string(c.value)}));
    EXPECT_EQ(s.DefaultItems, std::vector<TDefaultItem>{c.expected}) << c.what;
  }
}

TEST(LoadSettings, KeysInOtherLetterCasesAreFound) {
  const TMp3Settings s = Load(
      "[TUNLEX]\r\n"
      "default=2\r\n"
      "DEFAULT0=1\r\n"
      "default1=0x/\r\n"
      "datan=2\r\n");
  EXPECT_EQ(s.DefaultItems, (std::vector<TDefaultItem>{Field(1), Literal("x")}));
  EXPECT_EQ(s.TrackOption, 2);
}

TEST(LoadSettings, SameFieldMayAppearTwice) {
  const TMp3Settings s =
      Load(SectionWith({"Default=3", "Default0=2", "Default1=0/", "Default2=2"}));
  EXPECT_EQ(s.DefaultItems, (std::vector<TDefaultItem>{Field(2), Literal(""), Field(2)}));
}

TEST(LoadSettings, CountDecidesHowManyEntriesLoad) {
  struct Case {
    const char* what;
    std::string_view count;
    std::vector<TDefaultItem> expected;
  };
  const std::vector<TDefaultItem> all = {Field(1), Field(2), Field(3)};
  const Case cases[] = {
      {"decimal", "3", all},
      {"fewer than the keys", "2", {Field(1), Field(2)}},
      {"dollar hex", "$3", all},
      {"0x hex", "0x3", all},
      {"more than the keys: empty literals",
       "5",
       {Field(1), Field(2), Field(3), Literal(""), Literal("")}},
      {"zero", "0", {}},
      {"negative", "-1", {}},
      {"lowest", "-2147483648", {}},
      {"not an integer", "three", {}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) {
    const TMp3Settings s = Load(
        SectionWith({"Default=" + std::string(c.count), "Default0=1", "Default1=2", "Default2=3"}));
    EXPECT_EQ(s.DefaultItems, c.expected) << c.what;
  }
}

TEST(LoadSettings, HugeCountMakesAtMost1024EntriesAfterTheLastKey) {
  const TMp3Settings s = Load(SectionWith({"Default=2147483647", "Default0=1", "Default1=0 - /"}));
  ASSERT_EQ(s.DefaultItems.size(), 2u + 1024u);
  EXPECT_EQ(s.DefaultItems[0], Field(1));
  EXPECT_EQ(s.DefaultItems[1], Literal(" - "));
  for (std::size_t i = 2; i < s.DefaultItems.size(); ++i) {
    ASSERT_EQ(s.DefaultItems[i], Literal("")) << i;
  }
}

TEST(LoadSettings, HugeCountWithoutEntryKeysMakes1024EmptyLiterals) {
  // "Default01" does not name entry 1: entry key names have no leading zeros.
  const TMp3Settings s = Load(SectionWith({"Default=2147483647", "Default01=1"}));
  EXPECT_EQ(s.DefaultItems, std::vector<TDefaultItem>(1024, Literal("")));
}

TEST(LoadSettings, FarEntryKeyDoesNotMakeBillionsOfEntries) {
  const TMp3Settings s =
      Load(SectionWith({"Default=2147483647", "Default0=1", "Default2147483646=2"}));
  ASSERT_FALSE(s.DefaultItems.empty());
  EXPECT_EQ(s.DefaultItems.front(), Field(1));
  // Bounded by the limit on missing entries (65536), not by the count.
  EXPECT_EQ(s.DefaultItems.size(), std::size_t{1} + 65536);
}

TEST(LoadSettings, CountBackedByItsKeysLoadsFully) {
  constexpr int kEntries = 100'000;
  std::string contents = "[Tunlex]\r\nDefault=100000\r\n";
  std::vector<TDefaultItem> expected;
  for (int i = 0; i < kEntries; ++i) {
    const int code = i % 12;
    contents += "Default" + std::to_string(i) + "=" + (code == 0 ? "0/" : std::to_string(code));
    contents += "\r\n";
    expected.push_back(code == 0 ? Literal("") : Field(code));
  }
  EXPECT_EQ(Load(std::move(contents)).DefaultItems, expected);
}

TEST(LoadSettings, TrackOptionIsTheIntegerOrOne) {
  struct Case {
    std::string_view value;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"0", 0}, {"2", 2}, {"7", 7}, {"-1", -1}, {"$2", 2}, {"x", 1}, {"", 1}, {"2.0", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(SectionWith({"DataN=" + std::string(c.value)})).TrackOption, c.expected)
        << '"' << c.value << '"';
  }
}

TEST(LoadSettings, DecodesTimeFormatAndSeparator) {
  struct Case {
    const char* what;
    std::string_view value;
    std::int32_t format;
    std::string separator;
  };
  const Case cases[] = {
      {"seconds, no separator", "0/", 0, ""},
      {"blank separator", "1 /", 1, " "},
      {"two-byte separator", "2::/", 2, "::"},
      {"long separator from the file", "3 min /", 3, " min "},
      {"Shift-JIS separator", "3\x95\xAA/", 3, "\x95\xAA"},
      {"format out of range kept", "9'/", 9, "'"},
      {"one byte", "1", 1, ""},
      {"empty takes the default", "", 3, "'"},
      {"no leading digit takes the default", "x'/", 3, "'"},
      {"sign takes the default", "+1'/", 3, "'"},
  };
  for (const Case& c : cases) {
    const TMp3Settings s = Load(SectionWith({"DataS=" + std::string(c.value)}));
    EXPECT_EQ(s.TimeFormat, c.format) << c.what;
    EXPECT_EQ(s.TimeSeparator, c.separator) << c.what;
  }
}

TEST(LoadSettings, ShowVbrAsBitrateIsTheTailAfterTheLabels) {
  struct Case {
    std::string_view tail;
    bool expected;
  };
  const Case cases[] = {
      {"0", false}, {"1", true}, {"2", true}, {"-1", true}, {"$1", true}, {"+0", false},
  };
  for (const Case& c : cases) {
    const std::string value = "/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/" + std::string(c.tail);
    const TMp3Settings s = Load(SectionWith({"DataB=" + value}));
    EXPECT_EQ(s.ShowVbrAsBitrate, c.expected) << c.tail;
    EXPECT_EQ(s.BitrateLabels[0], "a") << c.tail;
    EXPECT_EQ(s.BitrateLabels[16], "q") << c.tail;
  }
}

TEST(LoadSettings, BitrateTailThatIsNotAnIntegerGivesTheWholeDefault) {
  const std::string_view values[] = {
      "/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/x",    // not an integer
      "/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/",     // empty tail
      "/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/1",  // an 18th label
      "/a/b",                                    // too few "/", "b" is left
      "",
  };
  const TMp3Settings defaults = Defaults();
  for (const std::string_view value : values) {
    const TMp3Settings s = Load(SectionWith({"DataB=" + std::string(value)}));
    EXPECT_EQ(s.BitrateLabels, defaults.BitrateLabels) << value;
    EXPECT_FALSE(s.ShowVbrAsBitrate) << value;
  }
}

TEST(LoadSettings, BitrateListWithTooFewSlashesLeavesLabelsEmpty) {
  const TMp3Settings s = Load(SectionWith({"DataB=/a/b/1"}));
  std::array<std::string, settings::kBitrateLabelCount> expected{};
  expected[0] = "a";
  expected[1] = "b";
  EXPECT_EQ(s.BitrateLabels, expected);
  EXPECT_TRUE(s.ShowVbrAsBitrate);
}

TEST(LoadSettings, SplitsTheOtherLabelLists) {
  struct Case {
    const char* what;
    std::string_view value;
    std::array<std::string, 4> expected;
  };
  const Case cases[] = {
      {"custom", "/44.1k/48k/32k/?/", {"44.1k", "48k", "32k", "?"}},
      {"blanks kept", "/ a /b / c/ /", {" a ", "b ", " c", " "}},
      {"too few slashes", "/a/b", {"a", "", "", ""}},
      {"rest ignored", "/a/b/c/d/e/f/", {"a", "b", "c", "d"}},
      {"label with a slash shifts the rest", "/a/b/c/d", {"a", "b", "c", ""}},
      {"empty value", "", {"", "", "", ""}},
      {"only the leading byte", "/", {"", "", "", ""}},
      {"first byte dropped whatever it is", "xa/b/c/d/", {"a", "b", "c", "d"}},
  };
  for (const Case& c : cases) {
    const std::string value(c.value);
    const TMp3Settings s = Load(SectionWith({"DataF=" + value, "DataC=" + value}));
    EXPECT_EQ(s.SamplingLabels, c.expected) << c.what;
    EXPECT_EQ(s.ChannelLabels, c.expected) << c.what;
  }
}

TEST(LoadSettings, SplitsVbrLabels) {
  const TMp3Settings s = Load(SectionWith({"DataV=/CBR/VBR/ignored/"}));
  EXPECT_EQ(s.VbrLabels, (std::array<std::string, 2>{"CBR", "VBR"}));
  EXPECT_EQ(Load(SectionWith({"DataV=/only"})).VbrLabels, (std::array<std::string, 2>{"", ""}));
}

TEST(LoadSettings, LabelOfOneMegabyteLoadsWhole) {
  const std::string label(1 << 20, 'x');
  const TMp3Settings s = Load(SectionWith({"DataF=/" + label + "/48000/32000/reserved/"}));
  EXPECT_EQ(s.SamplingLabels, (std::array<std::string, 4>{label, "48000", "32000", "reserved"}));
}

}  // namespace
