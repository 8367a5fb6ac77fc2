#include "ui/message_box.h"

#include "ui/win/text.h"

namespace ui {

void showMessage(std::string_view text, UINT style, std::string_view caption) {
    // Without an owner, MB_TASKMODAL is what disables the program's own
    // windows while the box is open.
    if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
    MessageBoxW(nullptr, win::widen(text).c_str(), win::widen(caption).c_str(), style);
}

}  // namespace ui
