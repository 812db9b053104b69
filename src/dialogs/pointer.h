#pragma once

#include "forms/control.h"

namespace dialogs {

// When the user has asked Windows to snap the pointer to a dialog's default button, moves it to
// the centre of `button` (its screen origin plus half its size). Does nothing without windows.
void SnapPointerToCentreOf(const forms::Control& button);

}  // namespace dialogs
