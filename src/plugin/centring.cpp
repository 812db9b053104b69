#include "plugin/centring.h"

namespace plugin {

DialogPosition CentreDialog(const TMacDialogRect& rect, int dialog_width, int dialog_height) {
  return {rect.Left + rect.Width / 2 - dialog_width / 2,
          rect.Top + rect.Height / 2 - dialog_height / 2};
}

}  // namespace plugin
