#include "skin_glow.h"

#include "skin_gdi.h"


namespace skinlib {
namespace {

LRESULT CALLBACK glowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcW(h, m, w, l);
    }
}

HINSTANCE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&glowProc), &module);
    return module;
}

bool g_registered = false;

bool registerGlowClass() {
    if (g_registered) return true;
    WNDCLASSW wc{};
    wc.lpfnWndProc = glowProc;
    wc.hInstance = thisModule();
    wc.lpszClassName = kGlowClass;
    g_registered = RegisterClassW(&wc) != 0;
    return g_registered;
}

}  // namespace

void unregisterGlowClass() {
    // The class's procedure lives in this module: it must not outlive an unload.
    if (g_registered) UnregisterClassW(kGlowClass, thisModule());
    g_registered = false;
}

int glowAlpha(int dx, int dy, int size, int strength) {
    if (size <= 0 || (dx <= 0 && dy <= 0)) return 0;
    // Distance in 1/16 pixel by an integer square root (no floating point, no libm).
    const long long d2 = (static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy) * 256;
    long long d = 0;
    while ((d + 1) * (d + 1) <= d2) ++d;
    const long long full = static_cast<long long>(size) * 16;
    if (d >= full) return 0;
    const long long rest = full - d;  // 1 - distance/size, scaled by full
    return static_cast<int>((strength * rest * rest + full * full / 2) / (full * full));
}

void Glow::render(int width, int height, skin::Color color, int size, int strength, bool active) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDC screen(nullptr, false);
    win::UniqueBitmap bitmap(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueDC dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc || !bits) return;
    const int peak = active ? strength : strength * 11 / 20;
    auto* px = static_cast<std::uint32_t*>(bits);
    const int innerRight = width - size - 1, innerBottom = height - size - 1;
    for (int y = 0; y < height; ++y) {
        const int dy = y < size ? size - y : (y > innerBottom ? y - innerBottom : 0);
        for (int x = 0; x < width; ++x) {
            const int dx = x < size ? size - x : (x > innerRight ? x - innerRight : 0);
            const auto a = static_cast<std::uint32_t>(glowAlpha(dx, dy, size, peak));
            // Premultiplied BGRA, as UpdateLayeredWindow expects.
            px[static_cast<std::size_t>(y) * width + x] =
                (a << 24) | ((color.r * a / 255) << 16) | ((color.g * a / 255) << 8) | (color.b * a / 255);
        }
    }
    Selection sel(dc.get(), bitmap.get());
    POINT source{0, 0};
    SIZE extent{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window_.get(), screen.get(), nullptr, &extent, dc.get(), &source, 0, &blend, ULW_ALPHA);
    rendered_ = true;
}

void Glow::follow(HWND owner, skin::Color color, int size, int strength, bool active) {
    if (!IsWindowVisible(owner) || IsIconic(owner)) {
        if (window_) ShowWindow(window_.get(), SW_HIDE);
        return;
    }
    RECT r;
    if (!GetWindowRect(owner, &r)) return;
    const int w = width(r) + 2 * size, h = height(r) + 2 * size;
    if (!window_) {
        if (!registerGlowClass()) return;
        window_.reset(CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                                      kGlowClass, L"", WS_POPUP, r.left - size, r.top - size, w, h, nullptr, nullptr,
                                      thisModule(), nullptr));
        if (!window_) return;
    }
    if (!rendered_ || w != width_ || h != height_ || size != size_ || strength != strength_ || !(color == color_) ||
        active != active_) {
        width_ = w;
        height_ = h;
        size_ = size;
        strength_ = strength;
        color_ = color;
        active_ = active;
        render(w, h, color, size, strength, active);
    }
    // Inserted after the owner: directly below it, whatever else is on screen.
    SetWindowPos(window_.get(), owner, r.left - size, r.top - size, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace skinlib
