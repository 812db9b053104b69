#include "ini/ini_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/memory_file_system.h"

namespace {

using ini::IniFile;

// The lines joined with CR LF, each ended by one: the form that serialize() writes.
std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

TEST(IniFileParse, SerializeOfUnmodifiedParseGivesTheSameLines) {
  struct Case {
    const char* what;
    std::string_view input;
    std::string expected;
  };
  const Case cases[] = {
      {"empty file", "", ""},
      {"CR LF kept", "[S]\r\nA=1\r\n", Lines({"[S]", "A=1"})},
      {"LF becomes CR LF", "[S]\nA=1\n", Lines({"[S]", "A=1"})},
      {"last line without newline gets one", "[S]\r\nA=1", Lines({"[S]", "A=1"})},
      {"lone CR at the very end is a line end", "[S]\r\nA=1\r", Lines({"[S]", "A=1"})},
      {"blank lines kept", "\r\n[S]\r\n\r\n\r\nA=1\r\n\r\n", Lines({"", "[S]", "", "", "A=1", ""})},
      {"lines keep their blanks", "  [ S ]  \r\n  A  =  1  \r\n\t\r\n",
       Lines({"  [ S ]  ", "  A  =  1  ", "\t"})},
      {"comments and odd lines kept",
       "; head\r\nbefore=section\r\n[S]\r\n;A=1\r\n  ; indented\r\nno equals sign\r\n[unclosed\r\n",
       Lines({"; head", "before=section", "[S]", ";A=1", "  ; indented", "no equals sign",
              "[unclosed"})},
      {"duplicate sections and keys kept", "[S]\r\nA=1\r\nA=2\r\n[s]\r\nA=3\r\n",
       Lines({"[S]", "A=1", "A=2", "[s]", "A=3"})},
      {"Shift-JIS bytes kept", "[\x83\x41]\r\n\x95\x5C=\x83\x5C\r\n",
       Lines({"[\x83\x41]", "\x95\x5C=\x83\x5C"})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IniFile::parse(c.input).serialize(), c.expected) << c.what;
  }
}

TEST(IniFileRead, SectionAndKeyNamesIgnoreAsciiLetterCase) {
  const IniFile file = IniFile::parse("[MySection]\r\nDEFAULT0=one\r\ndefault1=two\r\n");
  EXPECT_EQ(file.find("mysection", "default0"), "one");
  EXPECT_EQ(file.find("MYSECTION", "Default0"), "one");
  EXPECT_EQ(file.find("MySection", "DeFaUlT1"), "two");
  EXPECT_EQ(file.find("Other", "Default0"), std::nullopt);
}

TEST(IniFileRead, ShiftJisTrailBytesAreNeverFolded) {
  // 0x83 0x41 and 0x83 0x61 are two different katakana, though 0x41/0x61 look like "A"/"a".
  const IniFile file = IniFile::parse(
      "[\x83\x41]\r\n"
      "\x83\x41Key=first\r\n"
      "\x83\x61Key=second\r\n");
  EXPECT_EQ(file.find("\x83\x41", "\x83\x41key"), "first");
  EXPECT_EQ(file.find("\x83\x41", "\x83\x61KEY"), "second");
  EXPECT_EQ(file.find("\x83\x61", "\x83\x41Key"), std::nullopt);
  const IniFile only_upper = IniFile::parse("[S]\r\n\x83\x41=x\r\n");
  EXPECT_EQ(only_upper.find("S", "\x83\x61"), std::nullopt);
}

TEST(IniFileRead, BlanksAroundKeysAndValuesAreStripped) {
  const IniFile file = IniFile::parse(
      "  [ Spaced Name ]  \r\n"
      "  Key \t=  a  b \t\r\n"
      "Inner Key=x\r\n"
      "Equals=a=b\r\n"
      "Empty=\r\n"
      "Blank =   \r\n");
  EXPECT_EQ(file.find("Spaced Name", "Key"), "a  b");
  EXPECT_EQ(file.find("spaced name", "inner key"), "x");
  EXPECT_EQ(file.find("Spaced Name", "Equals"), "a=b");
  EXPECT_EQ(file.find("Spaced Name", "Empty"), "");
  EXPECT_EQ(file.find("Spaced Name", "Blank"), "");
}

TEST(IniFileRead, FirstOfDuplicateSectionsAndKeysCounts) {
  const IniFile file = IniFile::parse(
      "[S]\r\n"
      "A=1\r\n"
      "a=2\r\n"
      "[s]\r\n"
      "A=3\r\n"
      "B=4\r\n");
  EXPECT_EQ(file.find("S", "A"), "1");
  EXPECT_EQ(file.find("S", "B"), std::nullopt);
  EXPECT_EQ(file.keys("S"), (std::vector<std::string>{"A"}));
}

TEST(IniFileRead, OnlyKeyLinesInsideSectionsAreKeys) {
  const IniFile file = IniFile::parse(
      "Before=section\r\n"
      "[S]\r\n"
      ";Comment=1\r\n"
      "NoEquals\r\n"
      "[unclosed=2\r\n"
      "Key=3\r\n");
  EXPECT_EQ(file.find("", "Before"), std::nullopt);
  EXPECT_EQ(file.find("S", ";Comment"), std::nullopt);
  EXPECT_EQ(file.find("S", "Comment"), std::nullopt);
  EXPECT_EQ(file.find("S", "NoEquals"), std::nullopt);
  EXPECT_EQ(file.find("S", "[unclosed"), "2");
  EXPECT_EQ(file.keys("S"), (std::vector<std::string>{"[unclosed", "Key"}));
}

TEST(IniFileRead, ExistingEmptyValueIsEmptyNotTheDefault) {
  const IniFile file = IniFile::parse("[S]\r\nEmpty=\r\nSet=value\r\n");
  EXPECT_EQ(file.read_string("S", "Empty", "default"), "");
  EXPECT_EQ(file.read_string("S", "Set", "default"), "value");
  EXPECT_EQ(file.read_string("S", "Missing", "default"), "default");
  EXPECT_EQ(file.read_string("Missing", "Set", "default"), "default");
}

TEST(IniFileRead, ReadIntegerFallsBackWhenMissingOrNotAnInteger) {
  const IniFile file =
      IniFile::parse("[S]\r\nDec= -12 \r\nHex=$10\r\nHex2=0x10\r\nJunk=12x\r\nEmpty=\r\n");
  EXPECT_EQ(file.read_integer("S", "Dec", 7), -12);
  EXPECT_EQ(file.read_integer("S", "Hex", 7), 16);
  EXPECT_EQ(file.read_integer("S", "Hex2", 7), 16);
  EXPECT_EQ(file.read_integer("S", "Junk", 7), 7);
  EXPECT_EQ(file.read_integer("S", "Empty", 7), 7);
  EXPECT_EQ(file.read_integer("S", "Missing", 7), 7);
}

TEST(IniFileRead, KeysListsEachKeyOnceInFileOrder) {
  const IniFile file = IniFile::parse("[S]\r\nB=1\r\n;c\r\nA=2\r\nb=3\r\nC=4\r\n");
  EXPECT_EQ(file.keys("s"), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_TRUE(file.keys("Missing").empty());
}

TEST(IniFileWrite, ExistingKeyIsReplacedInPlaceWithItsSpelling) {
  IniFile file = IniFile::parse(
      "; head\r\n"
      "[S]\r\n"
      "  KEY =  old value ; not a comment\r\n"
      "; between\r\n"
      "Other=1\r\n");
  file.write_string("s", "key", "new");
  EXPECT_EQ(file.find("S", "Key"), "new");
  EXPECT_EQ(file.serialize(), Lines({"; head", "[S]", "KEY=new", "; between", "Other=1"}));
}

TEST(IniFileWrite, WritesTheFirstOfDuplicateKeysAndSections) {
  IniFile file = IniFile::parse("[S]\r\nA=1\r\nA=2\r\n[S]\r\nA=3\r\n");
  file.write_string("S", "A", "x");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "A=x", "A=2", "[S]", "A=3"}));
}

TEST(IniFileWrite, NewKeyGoesAfterTheLastKeyLineOfItsSection) {
  IniFile file = IniFile::parse(
      "[S]\r\n"
      "A=1\r\n"
      "; inside\r\n"
      "B=2\r\n"
      "; closing comment\r\n"
      "\r\n"
      "[T]\r\n"
      "C=3\r\n");
  file.write_string("S", "New", "x");
  file.write_string("S", "Newer", "y");
  EXPECT_EQ(file.find("S", "new"), "x");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "A=1", "; inside", "B=2", "New=x", "Newer=y",
                                     "; closing comment", "", "[T]", "C=3"}));
}

TEST(IniFileWrite, NewKeyInSectionWithoutKeysGoesRightAfterItsSectionLine) {
  IniFile file = IniFile::parse("[S]\r\n; about S\r\n\r\n[T]\r\n");
  file.write_string("S", "A", "1");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "A=1", "; about S", "", "[T]"}));
}

TEST(IniFileWrite, MissingSectionIsAppendedAtTheEnd) {
  struct Case {
    const char* what;
    std::string_view input;
    std::string expected;
  };
  const Case cases[] = {
      {"empty file", "", Lines({"[New]", "Key=v"})},
      {"blank line added", "[S]\r\nA=1\r\n", Lines({"[S]", "A=1", "", "[New]", "Key=v"})},
      {"no second blank line", "[S]\r\nA=1\r\n\r\n", Lines({"[S]", "A=1", "", "[New]", "Key=v"})},
      {"after a keyless section", "[S]", Lines({"[S]", "", "[New]", "Key=v"})},
      {"after lines before any section", "; only a comment",
       Lines({"; only a comment", "", "[New]", "Key=v"})},
  };
  for (const Case& c : cases) {
    IniFile file = IniFile::parse(c.input);
    file.write_string("New", "Key", "v");
    EXPECT_EQ(file.serialize(), c.expected) << c.what;
    EXPECT_EQ(file.find("new", "key"), "v") << c.what;
  }
}

TEST(IniFileWrite, ValueIsKeptAsWrittenUntilReadBack) {
  IniFile file;
  file.write_string("S", "Empty", "");
  EXPECT_EQ(file.read_string("S", "Empty", "default"), "");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "Empty="}));
}

TEST(IniFileDelete, RemovesTheKeyLineAndKeepsCommentsAndBlanks) {
  IniFile file = IniFile::parse(
      "[S]\r\n"
      "; about A\r\n"
      "A=1\r\n"
      "\r\n"
      "B=2\r\n"
      "[T]\r\n"
      "A=3\r\n");
  file.delete_key("s", "a");
  file.delete_key("S", "Missing");
  file.delete_key("Missing", "A");
  EXPECT_EQ(file.find("S", "A"), std::nullopt);
  EXPECT_EQ(file.find("T", "A"), "3");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "; about A", "", "B=2", "[T]", "A=3"}));
}

TEST(IniFileDelete, LaterDuplicateKeyTakesOver) {
  IniFile file = IniFile::parse("[S]\r\nA=1\r\nB=2\r\na=3\r\nA=4\r\n");
  file.delete_key("S", "A");
  EXPECT_EQ(file.find("S", "A"), "3");
  file.write_string("S", "A", "x");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "B=2", "a=x", "A=4"}));
  file.delete_key("S", "A");
  EXPECT_EQ(file.find("S", "A"), "4");
  file.delete_key("S", "A");
  EXPECT_EQ(file.find("S", "A"), std::nullopt);
  EXPECT_EQ(file.keys("S"), (std::vector<std::string>{"B"}));
}

TEST(IniFileDelete, NewKeyAfterDeletingTheLastKeyGoesAfterTheKeyBeforeIt) {
  IniFile file = IniFile::parse("[S]\r\nA=1\r\n; c\r\nB=2\r\n; tail\r\n");
  file.delete_key("S", "B");
  file.write_string("S", "C", "3");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "A=1", "C=3", "; c", "; tail"}));
  file.delete_key("S", "C");
  file.delete_key("S", "A");
  file.write_string("S", "D", "4");
  EXPECT_EQ(file.serialize(), Lines({"[S]", "D=4", "; c", "; tail"}));
}

TEST(IniFileStorage, SaveWritesTheWholeFileAndLoadReadsItBack) {
  fileio::MemoryFileSystem files;
  files.add("host.ini", "[Host]\nKeep=1\n; comment\n[S]\nA=1\n");
  IniFile file = IniFile::load(files, "host.ini");
  file.write_string("S", "A", "2");
  ASSERT_TRUE(file.save(files, "host.ini"));
  ASSERT_NE(files.contents("host.ini"), nullptr);
  EXPECT_EQ(*files.contents("host.ini"), Lines({"[Host]", "Keep=1", "; comment", "[S]", "A=2"}));
  EXPECT_EQ(IniFile::load(files, "host.ini").find("S", "A"), "2");
}

TEST(IniFileStorage, FailedSaveReturnsFalseAndLeavesTheOldContents) {
  fileio::MemoryFileSystem files;
  files.add("host.ini", "[S]\r\nA=1\r\n");
  IniFile file = IniFile::load(files, "host.ini");
  file.write_string("S", "A", "2");
  files.set_fail_writes(true);
  EXPECT_FALSE(file.save(files, "host.ini"));
  EXPECT_EQ(*files.contents("host.ini"), "[S]\r\nA=1\r\n");
}

TEST(IniFileStorage, MissingOrUnreadableFileLoadsEmpty) {
  fileio::MemoryFileSystem files;
  EXPECT_EQ(IniFile::load(files, "missing.ini").serialize(), "");
  files.add("held.ini", "[S]\r\nA=1\r\n");
  files.set_held("held.ini", true);
  const IniFile held = IniFile::load(files, "held.ini");
  EXPECT_EQ(held.find("S", "A"), std::nullopt);
  EXPECT_EQ(held.serialize(), "");
}

TEST(IniFileScale, SectionOfOneHundredThousandKeysLoadsAndRewrites) {
  constexpr int kKeys = 100'000;
  std::string contents = "[Tunlex]\r\nDefault=100000\r\n";
  for (int i = 0; i < kKeys; ++i) {
    contents += "Default" + std::to_string(i) + "=" + std::to_string(i % 12) + "\r\n";
  }
  contents += "[Other]\r\nKind=3\r\n";
  IniFile file = IniFile::parse(contents);
  for (int i = 0; i < kKeys; ++i) {
    ASSERT_EQ(file.read_integer("tunlex", "DEFAULT" + std::to_string(i), -1), i % 12) << i;
  }
  EXPECT_EQ(file.keys("Tunlex").size(), std::size_t{kKeys + 1});

  // The save path of the setup dialog: delete every entry key, then write them anew.
  for (int i = 0; i < kKeys; ++i) file.delete_key("Tunlex", "Default" + std::to_string(i));
  for (int i = 0; i < kKeys; ++i) {
    file.write_string("Tunlex", "Default" + std::to_string(i), std::to_string(i % 12));
  }
  EXPECT_EQ(file.serialize(), contents);
}

TEST(IniFileScale, TenMegabyteFileAndMegabyteValueRoundTrip) {
  // A host's file of 10 MB: many sections of long lines, then ours with a value of 1 MB.
  const std::string long_value(1 << 20, 'v');
  std::string contents;
  for (int section = 0; contents.size() < 10'000'000; ++section) {
    contents += "[Host" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 100; ++key) {
      contents += "Key" + std::to_string(key) + "=" +
                  std::string(900, static_cast<char>('a' + key % 26)) + "\r\n";
    }
  }
  contents += "[Tunlex]\r\nDataF=" + long_value + "\r\nKind=4\r\n";
  IniFile file = IniFile::parse(contents);
  EXPECT_EQ(file.read_string("Tunlex", "DataF", ""), long_value);
  EXPECT_EQ(file.read_integer("Tunlex", "Kind", -1), 4);
  EXPECT_EQ(file.serialize(), contents);

  file.write_string("Tunlex", "Kind", "5");
  fileio::MemoryFileSystem files;
  ASSERT_TRUE(file.save(files, "host.ini"));
  const std::string saved = *files.contents("host.ini");
  ASSERT_EQ(saved.size(), contents.size());
  EXPECT_EQ(saved.substr(0, saved.size() - 3), contents.substr(0, contents.size() - 3));
  EXPECT_EQ(saved.substr(saved.size() - 3), "5\r\n");
}

}  // namespace
