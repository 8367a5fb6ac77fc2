#include "ui/message_box.h"

#include "ui/win/text.h"

namespace ui {

void showMessage(std::string_view text, UINT style, std::string_view caption) {
    // Without an owner, MB_TASKMODAL is what disables the program's own
    // windows while the box is open.
    if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
    HWND activeBefore = GetActiveWindow();  // borrowed
    MessageBoxW(nullptr, win::widen(text).c_str(), win::widen(caption).c_str(), style);
    // Windows activates the window below a closed box by itself; a Wine
    // desktop without a window manager leaves nothing active, so the window
    // would no longer get the keyboard. Hand the activation back explicitly.
    if (activeBefore && IsWindow(activeBefore) && IsWindowVisible(activeBefore) &&
        GetActiveWindow() != activeBefore) {
        SetForegroundWindow(activeBefore);
        SetActiveWindow(activeBefore);
    }
}

}  // namespace ui
