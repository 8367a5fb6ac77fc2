#include "ui/count_box.h"

#include "ui/controls.h"
#include "ui/count_text.h"

#include <commctrl.h>

#include <string>

namespace ui {

namespace {

constexpr UINT_PTR kSubclassId = 1;

void normaliseOnLeaving(HWND edit) {
    const std::string text = windowText(edit);
    const std::string normalised = normaliseCountText(text);
    if (normalised == text) return;
    DWORD selectionStart = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), 0);
    setWindowText(edit, normalised);
    // The edit clamps a position past the end of the new text.
    SendMessageW(edit, EM_SETSEL, selectionStart, selectionStart);
}

int lineHeight(HWND edit) {
    HDC dc = GetDC(edit);
    if (!dc) return 0;
    HGDIOBJ old = nullptr;
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0))) old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    const int height = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    if (old) SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return height;
}

// A single-line edit draws its line at the top of its client area. Making the
// client area one line high, centred in what the border leaves, centres the
// text; the band above and below then belongs to the non-client area.
void centreClientArea(HWND edit, RECT& client) {
    const int height = lineHeight(edit);
    const int spare = (client.bottom - client.top) - height;
    if (height <= 0 || spare <= 0) return;
    client.top += spare / 2;
    client.bottom = client.top + height;
}

// Fills the bands that centreClientArea added to the non-client area with the
// edit's own background brush, as its parent hands it out.
void paintBands(HWND edit) {
    RECT window{};
    GetWindowRect(edit, &window);
    RECT client{};
    GetClientRect(edit, &client);
    MapWindowPoints(edit, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    RECT inside{window.left + edgeX, window.top + edgeY, window.right - edgeX, window.bottom - edgeY};

    HDC dc = GetWindowDC(edit);
    if (!dc) return;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(edit), WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(edit)));
    if (!brush) brush = GetSysColorBrush(COLOR_WINDOW);  // system brush: borrowed
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &inside, brush);
    ReleaseDC(edit, dc);
}

LRESULT CALLBACK countBoxProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_CHAR:
        // Refused characters are dropped without the edit's beep.
        if (!isAcceptedCountChar(static_cast<char32_t>(wParam))) return 0;
        break;
    case WM_KILLFOCUS:
        // No exception may leave a window procedure; without memory for the
        // texts the box just keeps what it holds.
        try {
            normaliseOnLeaving(edit);
        } catch (...) {
        }
        break;
    case WM_LBUTTONDBLCLK:
        // A click soon after an earlier one at the same place arrives as a
        // double-click, and the edit control takes the focus only on a plain
        // button-down: without the focus, treat it as the first click it is.
        if (GetFocus() != edit) return DefSubclassProc(edit, WM_LBUTTONDOWN, wParam, lParam);
        break;
    case WM_NCCALCSIZE:
        if (wParam) {
            const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
            centreClientArea(edit, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
            return result;
        }
        break;
    case WM_NCPAINT: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        paintBands(edit);
        return result;
    }
    case WM_SETFONT: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        // The line height changed: let WM_NCCALCSIZE centre the line again.
        SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, countBoxProc, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

bool makeCountBox(HWND edit) {
    if (!SetWindowSubclass(edit, countBoxProc, kSubclassId, 0)) return false;
    // EM_LIMITTEXT also bounds what a paste inserts.
    SendMessageW(edit, EM_LIMITTEXT, kCountBoxLimit, 0);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

}  // namespace ui
