// The suite's main windows are dialogs: minimised, they draw their program
// icon centred on the iconic window themselves.
#pragma once

#include "mfc/mfc.h"

// Paints icon centred over the client area when the window is minimised
// (from its WM_PAINT handler); false, painting nothing, when it is not.
bool PaintMinimizedIcon(CWnd* window, HICON icon);
