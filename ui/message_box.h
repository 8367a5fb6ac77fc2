// The one way the program shows a message: a standard message box without an
// owner window, modal for the whole program.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

inline constexpr std::string_view kDefaultCaption = "信息：";

// style is a MessageBox style (0, MB_ICONWARNING, MB_ICONINFORMATION ...);
// MB_TASKMODAL is added unless it asks for MB_SYSTEMMODAL. The result of the
// box is not needed by any caller.
void showMessage(std::string_view text, UINT style = 0, std::string_view caption = kDefaultCaption);

}  // namespace ui
