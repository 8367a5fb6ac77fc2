// The count box: a standard single-line edit control, subclassed so that it
// keeps only digits and "-" of the typed characters, holds at most four
// characters, rewrites its text to a plain whole number when it loses the
// focus, and shows its one line vertically centred.
#pragma once

#include <windows.h>

namespace ui {

inline constexpr int kCountBoxLimit = 4;

// edit is borrowed; the subclass removes itself when the edit is destroyed.
bool makeCountBox(HWND edit);

}  // namespace ui
