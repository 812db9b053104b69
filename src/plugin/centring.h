#pragma once

#include "plugin/mac_plugin_abi.h"

namespace plugin {

struct DialogPosition {
  int left;
  int top;
  bool operator==(const DialogPosition&) const = default;
};

// Centres a dialog of the given outer size on the host's rectangle. Each halving truncates
// toward zero on its own (-7 / 2 = -3), and the result is not clamped to the screen.
DialogPosition CentreDialog(const TMacDialogRect& rect, int dialog_width, int dialog_height);

}  // namespace plugin
