#include "plugin/centring.h"

#include <gtest/gtest.h>

namespace plugin {
namespace {

TEST(CentreDialog, HalvesEachValueSeparatelyTowardZero) {
  struct Case {
    TMacDialogRect rect;
    int width;
    int height;
    DialogPosition expected;
  } const cases[] = {
      {{100, 50, 301, 201}, 320, 300, {90, 0}},
      {{0, 0, 100, 100}, 50, 50, {25, 25}},
      // -3 / 2 is -1, not -2; 7 / 2 is 3.
      {{10, 10, -3, -7}, 7, 7, {10 - 1 - 3, 10 - 3 - 3}},
      // Not clamped to the screen.
      {{-500, -400, 10, 10}, 200, 100, {-500 + 5 - 100, -400 + 5 - 50}},
      {{32767, 32767, 32767, 32767}, 1, 1, {32767 + 16383, 32767 + 16383}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CentreDialog(c.rect, c.width, c.height), c.expected)
        << c.rect.Left << "," << c.rect.Top << " " << c.rect.Width << "x" << c.rect.Height;
  }
}

}  // namespace
}  // namespace plugin
