#include "mp3info/file_path.h"

#include <gtest/gtest.h>

namespace mp3info {
namespace {

TEST(BuildFilePath, JoinsFolderAndNameWithOneBackslash) {
  struct Case {
    const char* folder;
    const char* name;
    const char* expected;
  } const cases[] = {
      {"C:\\Music\\", "a.mp3", "C:\\Music\\a.mp3"},
      {"C:\\Music", "a.mp3", "C:\\Music\\a.mp3"},
      {"", "a.mp3", "\\a.mp3"},
      {"C:\\", "a.mp3", "C:\\a.mp3"},
      // "表" is 0x95 0x5C: its trail byte is no separator, so one is appended.
      {"C:\\\x95\x5C", "a.mp3", "C:\\\x95\x5C\\a.mp3"},
      // "表\" already ends in a single-byte backslash.
      {"C:\\\x95\x5C\\", "a.mp3", "C:\\\x95\x5C\\a.mp3"},
      // A half-width kana (0xB1) is one byte, so the 0x5C after it is a backslash.
      {"C:\\\xB1\\", "a.mp3", "C:\\\xB1\\a.mp3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildFilePath(c.folder, c.name), c.expected) << "folder '" << c.folder << "'";
  }
}

}  // namespace
}  // namespace mp3info
