#include "ui/controls.h"

#include "ui/win/text.h"

namespace ui {

std::string windowText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return win::narrow(text);
}

void setWindowText(HWND control, std::string_view text) {
    SetWindowTextW(control, win::widen(text).c_str());
}

void setLeft(HWND control, int left) {
    RECT rect{};
    GetWindowRect(control, &rect);
    // Screen to parent client coordinates: the top stays where it is.
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

void setComboSelection(HWND combo, int position) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::string comboShownText(HWND combo) {
    const int position = comboSelection(combo);
    if (position < 0) return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length <= 0) return {};  // CB_ERR or an empty item
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(position),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return win::narrow(text);
}

void clearCombo(HWND combo) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
}

void appendComboItem(HWND combo, std::string_view text) {
    // Without CBS_SORT, CB_ADDSTRING appends at the end.
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::widen(text).c_str()));
}

}  // namespace ui
