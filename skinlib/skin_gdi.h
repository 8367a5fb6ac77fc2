// Small GDI helpers for the skin painter: scoped DCs and selections, an
// off-screen buffer, and fills in a skin's colours and gradients.
#pragma once

#include "skin_format.h"
#include "win/handle.h"

#include <windows.h>

namespace skinlib {

inline COLORREF ref(skin::Color c) { return RGB(c.r, c.g, c.b); }

// A DC from GetDC / GetWindowDC, released with ReleaseDC.
class WindowDC {
public:
    WindowDC(HWND hwnd, bool wholeWindow) noexcept
        : hwnd_(hwnd), dc_(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;  // borrowed
    HDC dc_;
};

// Selects an object into a DC for the lifetime of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;  // borrowed
    HGDIOBJ old_;
};

// An off-screen bitmap of the given size compatible with a target DC; paint
// into dc() and copy the result with blitTo, so controls never flicker.
class Buffer {
public:
    Buffer(HDC target, int width, int height) noexcept
        : width_(width), height_(height), dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)) {
        if (dc_ && bitmap_) old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() {
        // The bitmap must leave the DC before either is deleted.
        if (old_) SelectObject(dc_.get(), old_);
    }
    bool ok() const noexcept { return old_ != nullptr; }
    HDC dc() const noexcept { return dc_.get(); }
    void blitTo(HDC target, int x = 0, int y = 0) const noexcept {
        if (ok()) BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }

private:
    int width_, height_;
    win::UniqueDC dc_;
    win::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

// Solid fill without creating a brush (ExtTextOut's opaque rectangle).
inline void fill(HDC dc, const RECT& r, skin::Color c) {
    SetBkColor(dc, ref(c));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// Fills r row by row with g; the gradient spans bandTop..bandTop+bandHeight,
// so pieces of one bar (menu items) continue the bar's ramp.
inline void fillGradient(HDC dc, const RECT& r, const skin::Gradient& g, int bandTop, int bandHeight) {
    for (int y = r.top; y < r.bottom; ++y) {
        const RECT row{r.left, y, r.right, y + 1};
        fill(dc, row, g.at(y - bandTop, bandHeight));
    }
}

inline void fillGradient(HDC dc, const RECT& r, const skin::Gradient& g) {
    fillGradient(dc, r, g, r.top, r.bottom - r.top);
}

// A one-pixel rectangle outline.
inline void frame(HDC dc, const RECT& r, skin::Color c) {
    fill(dc, {r.left, r.top, r.right, r.top + 1}, c);
    fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, c);
    fill(dc, {r.left, r.top, r.left + 1, r.bottom}, c);
    fill(dc, {r.right - 1, r.top, r.right, r.bottom}, c);
}

inline int width(const RECT& r) { return r.right - r.left; }
inline int height(const RECT& r) { return r.bottom - r.top; }

}  // namespace skinlib
