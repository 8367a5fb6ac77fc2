// Small typed operations on child controls, in UTF-8. Every HWND here is
// borrowed: the controls belong to their parent window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

std::string windowText(HWND control);
void setWindowText(HWND control, std::string_view text);

// Moves the control's left edge (parent client coordinates), keeping its top
// and size.
void setLeft(HWND control, int left);

// Combo boxes.
int comboSelection(HWND combo);                  // -1 for none
void setComboSelection(HWND combo, int position);
std::string comboShownText(HWND combo);          // the selected item's text, empty for none
void clearCombo(HWND combo);
void appendComboItem(HWND combo, std::string_view text);

}  // namespace ui
