// The self-drawn label: a window class of our own that fills its whole area
// with the brush its parent returns for WM_CTLCOLORSTATIC (as for a standard
// static control) and draws its text over it on one line, vertically centred.
// SS_RIGHT in the style right-aligns the text; otherwise it is left-aligned.
#pragma once

#include <windows.h>

namespace ui {

bool registerLabelClass(HINSTANCE instance);

}  // namespace ui
