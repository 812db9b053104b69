#include "settings/label_list.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

struct Case {
  const char* what;
  std::string_view list;  // already without its leading "/"
  std::size_t count;
  std::vector<std::string> labels;
  std::string_view rest;
};

TEST(SplitLabelList, SplitsLabelsAtEachSlashAndReturnsTheRest) {
  const Case cases[] = {
      {"exact list", "a/b/c/", 3, {"a", "b", "c"}, ""},
      {"rest after the last label", "a/b/1", 2, {"a", "b"}, "1"},
      {"empty labels", "//x/", 3, {"", "", "x"}, ""},
      {"too few slashes leave empty labels", "a/b", 4, {"a", "", "", ""}, "b"},
      {"no slash at all", "abc", 2, {"", ""}, "abc"},
      {"empty list", "", 2, {"", ""}, ""},
      {"more labels than asked stay in the rest", "a/b/c/d/", 2, {"a", "b"}, "c/d/"},
      {"blanks kept", " a / b /", 2, {" a ", " b "}, ""},
      {"Shift-JIS bytes kept", "\x83\x41/\x95\x5C/", 2, {"\x83\x41", "\x95\x5C"}, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> labels(c.count, "stale");
    const std::string_view rest = settings::SplitLabelList(c.list, labels);
    EXPECT_EQ(labels, c.labels) << c.what;
    EXPECT_EQ(rest, c.rest) << c.what;
  }
}

}  // namespace
