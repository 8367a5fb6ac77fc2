#include "ui/label.h"

#include "ui/control_ids.h"

#include <iterator>

namespace ui {

namespace {

// The label's font (borrowed from the parent) lives in the window's extra bytes.
constexpr int kFontSlot = 0;

HFONT labelFont(HWND label) {
    return reinterpret_cast<HFONT>(GetWindowLongPtrW(label, kFontSlot));
}

void paintLabel(HWND label) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(label, &paint);
    if (!dc) return;
    RECT area{};
    GetClientRect(label, &area);

    // Black text on a transparent background unless the parent's handler of
    // WM_CTLCOLORSTATIC says otherwise; its brush fills the label.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(label)));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);  // system brush: borrowed
    FillRect(dc, &area, brush);

    // A label's text is a few characters; a fixed buffer spares the paint
    // from allocating (and from an exception inside the window procedure).
    wchar_t text[64];
    const int length = GetWindowTextW(label, text, static_cast<int>(std::size(text)));
    if (length > 0) {
        HGDIOBJ oldFont = nullptr;
        if (HFONT font = labelFont(label)) oldFont = SelectObject(dc, font);
        const UINT align = (GetWindowLongPtrW(label, GWL_STYLE) & SS_RIGHT) ? DT_RIGHT : DT_LEFT;
        DrawTextW(dc, text, length, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
        if (oldFont) SelectObject(dc, oldFont);
    }
    EndPaint(label, &paint);
}

LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintLabel(label);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole area
    case WM_SETFONT:
        SetWindowLongPtrW(label, kFontSlot, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) InvalidateRect(label, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return static_cast<LRESULT>(GetWindowLongPtrW(label, kFontSlot));
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(label, message, wParam, lParam);
        InvalidateRect(label, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE:
        InvalidateRect(label, nullptr, TRUE);
        return 0;
    case WM_NCHITTEST:
        // Like a static control without SS_NOTIFY: clicks go to the parent.
        return HTTRANSPARENT;
    default:
        return DefWindowProcW(label, message, wParam, lParam);
    }
}

}  // namespace

bool registerLabelClass(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = labelProc;
    cls.cbWndExtra = sizeof(LONG_PTR);
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);  // shared system cursor: borrowed
    cls.lpszClassName = kLabelClass;
    return RegisterClassExW(&cls) != 0;
}

}  // namespace ui
