#include <windows.h>

#include "dialogs/pointer.h"
#include "forms/form.h"

namespace dialogs {

void SnapPointerToCentreOf(const forms::Control& button) {
  BOOL snap = FALSE;
  if (!SystemParametersInfoA(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0) || !snap) return;
  const forms::FormBackend* backend = button.form().backend();
  if (!backend) return;
  const auto bounds = backend->screen_bounds(button);
  if (!bounds) return;
  SetCursorPos(bounds->left + bounds->width / 2, bounds->top + bounds->height / 2);
}

}  // namespace dialogs
