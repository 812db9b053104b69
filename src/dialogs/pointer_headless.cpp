#include "dialogs/pointer.h"

namespace dialogs {

void SnapPointerToCentreOf(const forms::Control&) {}

}  // namespace dialogs
