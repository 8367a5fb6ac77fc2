// The window side of the skin library: a thread hook that subclasses every new
// window of the skinned thread, and the subclass procedures that paint title
// bars, frames, menu bars, push buttons, drop-down lists and edit borders in
// the attached skin and answer the face-colour messages.
#include "skin_window.h"

#include "skin_gdi.h"
#include "skin_glow.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace skinlib {
namespace {

// ---- the attached skin and its GDI objects -----------------------------------

struct Theme {
    skin::Skin s;
    win::UniqueBrush face, editBack, listBack, menuBack;
    win::UniqueFont captionFont, menuFont;
};

std::unique_ptr<Theme> g_theme;
win::UniqueHook g_hook;
DWORD g_thread = 0;
bool g_aero = false;

constexpr wchar_t kProp[] = L"TesmarinSkinSub";
// Menu bar items we made owner-drawn carry this tag and their index in their data.
constexpr ULONG_PTR kMenuTag = 0x53484500;

enum class Kind { Frame, Button, Combo, List, Edit };

struct Sub {
    HWND hwnd;  // borrowed: the subclassed window
    WNDPROC old;
    Kind kind;
    int depth = 0;      // nesting of our procedure for this window
    bool dead = false;  // WM_NCDESTROY seen while nested: free when depth is 0
    bool hover = false;
    bool tracking = false;
    // Frames.
    bool active = false;
    bool closeHot = false, closeDown = false, closePressed = false;
    HMENU menu = nullptr;  // borrowed: the menu bar we converted
    std::vector<std::wstring> menuTexts;
    std::unique_ptr<Glow> glow;
};

std::vector<Sub*> g_subs;  // every live subclass record

LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM);

Sub* findSub(HWND h) { return static_cast<Sub*>(GetPropW(h, kProp)); }

LRESULT callOld(const Sub& sub, UINT m, WPARAM w, LPARAM l) { return CallWindowProcW(sub.old, sub.hwnd, m, w, l); }

void freeSub(Sub* sub) {
    g_subs.erase(std::remove(g_subs.begin(), g_subs.end(), sub), g_subs.end());
    delete sub;
}

std::wstring className(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

std::wstring windowText(HWND h) {
    const int length = GetWindowTextLengthW(h);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(h, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

bool equalNoCase(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

HFONT controlFont(HWND h) {
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

UINT prefixFlag(HWND h) {
    const LRESULT ui = SendMessageW(h, WM_QUERYUISTATE, 0, 0);
    return (ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
}

// Which windows get a skin, decided from class and style alone.
bool wantedKind(HWND h, Kind& kind) {
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(h, GWL_EXSTYLE);
    const std::wstring cls = className(h);
    if (equalNoCase(cls, kGlowClass)) return false;
    if (!(style & WS_CHILD)) {
        if (equalNoCase(cls, L"ComboLBox")) {
            kind = Kind::List;
            return true;
        }
        if ((style & WS_CAPTION) == WS_CAPTION && !(exStyle & WS_EX_TOOLWINDOW)) {
            kind = Kind::Frame;
            return true;
        }
        return false;
    }
    if (equalNoCase(cls, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            kind = Kind::Button;
            return true;
        }
        return false;
    }
    if (equalNoCase(cls, L"ComboBox")) {
        if ((style & 3) == CBS_DROPDOWNLIST && !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) {
            kind = Kind::Combo;
            return true;
        }
        return false;
    }
    if (equalNoCase(cls, L"ComboLBox")) {
        kind = Kind::List;
        return true;
    }
    if (equalNoCase(cls, L"Edit")) {
        if ((exStyle & WS_EX_CLIENTEDGE) || (style & WS_BORDER)) {
            kind = Kind::Edit;
            return true;
        }
    }
    return false;
}

// Visual styles and the desktop compositor would draw over our frame; both
// are switched off per window where the system has them. Loaded by name so
// the library imports neither DLL.
void disableSystemDrawing(HWND h, Kind kind) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    static HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");  // kept for the process's life
    static HMODULE dwmapi = LoadLibraryW(L"dwmapi.dll");    // kept for the process's life
    if (uxtheme) {
        if (auto fn = reinterpret_cast<SetWindowThemeFn>(
                reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme"))))
            fn(h, L"", L"");
    }
    if (kind == Kind::Frame && dwmapi) {
        if (auto fn = reinterpret_cast<DwmSetWindowAttributeFn>(
                reinterpret_cast<void*>(GetProcAddress(dwmapi, "DwmSetWindowAttribute")))) {
            const DWORD disabled = 1;  // DWMNCRP_DISABLED for DWMWA_NCRENDERING_POLICY (2)
            fn(h, 2, &disabled, sizeof disabled);
        }
    }
}

Sub* subclass(HWND h) {
    if (Sub* existing = findSub(h)) return existing;
    Kind kind;
    if (!wantedKind(h, kind)) return nullptr;
    auto sub = std::make_unique<Sub>();
    sub->hwnd = h;
    sub->kind = kind;
    if (!SetPropW(h, kProp, sub.get())) return nullptr;
    g_subs.push_back(sub.get());
    sub->old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    if (!sub->old) {
        RemovePropW(h, kProp);
        g_subs.pop_back();
        return nullptr;
    }
    sub->active = GetActiveWindow() == h;
    disableSystemDrawing(h, kind);
    return sub.release();
}

// ---- frames: geometry ---------------------------------------------------------

struct FrameGeometry {
    int width = 0, height = 0;
    RECT client{};    // in window coordinates
    RECT caption{};   // title bar band, from the top edge to the menu bar or client
    RECT menuBar{};   // empty without a menu
    RECT close{};     // the close button; empty without WS_SYSMENU
    RECT icon{};      // empty without an icon
    int border = 0;   // side frame thickness
};

HICON windowIcon(HWND h) {
    HICON icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL2, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICON));
    return icon;
}

FrameGeometry frameGeometry(HWND h) {
    FrameGeometry g;
    RECT wr;
    GetWindowRect(h, &wr);
    g.width = width(wr);
    g.height = height(wr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    RECT cr;
    GetClientRect(h, &cr);
    OffsetRect(&cr, origin.x - wr.left, origin.y - wr.top);
    g.client = cr;
    g.border = std::max(0L, cr.left);
    int captionBottom = cr.top;
    MENUBARINFO mbi{};
    mbi.cbSize = sizeof mbi;
    if (GetMenu(h) && GetMenuBarInfo(h, OBJID_MENU, 0, &mbi) && mbi.rcBar.bottom > mbi.rcBar.top) {
        g.menuBar = mbi.rcBar;
        OffsetRect(&g.menuBar, -wr.left, -wr.top);
        captionBottom = g.menuBar.top;
    }
    g.caption = {0, 0, g.width, captionBottom};
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    const int top = g.border;
    const int bandHeight = captionBottom - top;
    if ((style & WS_SYSMENU) && bandHeight >= 8) {
        const int size = std::max(8, bandHeight - 4);
        const int right = g.width - g.border - 2;
        const int w = size + size / 2;
        g.close = {right - w, top + (bandHeight - size) / 2, right, top + (bandHeight - size) / 2 + size};
    }
    const LONG exStyle = GetWindowLongW(h, GWL_EXSTYLE);
    if ((style & WS_SYSMENU) && !(exStyle & WS_EX_DLGMODALFRAME) && g_theme && g_theme->s.showIcon && windowIcon(h) &&
        bandHeight >= 16) {
        const int y = top + (bandHeight - 16) / 2;
        g.icon = {g.border + 4, y, g.border + 20, y + 16};
    }
    return g;
}

RECT closeRectInScreen(HWND h) {
    const FrameGeometry g = frameGeometry(h);
    RECT wr;
    GetWindowRect(h, &wr);
    RECT r = g.close;
    OffsetRect(&r, wr.left, wr.top);
    return r;
}

// ---- frames: painting ---------------------------------------------------------

void drawCloseGlyph(HDC dc, const RECT& r, const Theme& t, bool hot, bool pressed, bool active) {
    const skin::Skin& s = t.s;
    const bool lit = hot || pressed;
    const skin::Gradient& back = pressed ? s.closePressed : s.closeHover;
    const skin::Color rest = active ? s.closeColor : s.captionTextInactive;
    const skin::Color glyph = lit ? s.closeHoverColor : rest;
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int half = std::max(3, (height(r) - 6) / 3);
    switch (s.closeGlyph) {
    case skin::CloseGlyph::Round: {
        if (lit) {
            const int d = height(r);
            const RECT disc{cx - d / 2, r.top, cx - d / 2 + d, r.bottom};
            win::UniqueBrush brush(CreateSolidBrush(ref(back.middle())));
            win::UniqueRegion rgn(CreateEllipticRgn(disc.left, disc.top, disc.right + 1, disc.bottom + 1));
            if (rgn && brush) FillRgn(dc, rgn.get(), brush.get());
        }
        break;
    }
    case skin::CloseGlyph::Square:
        if (lit) fillGradient(dc, r, back);
        frame(dc, r, lit ? back.last() : skin::mix(rest, s.captionActive.middle(), 120));
        break;
    default:
        if (lit) fillGradient(dc, r, back);
        break;
    }
    const int thick = s.closeGlyph == skin::CloseGlyph::Bold ? 2 : 1;
    win::UniquePen pen(CreatePen(PS_SOLID, 1, ref(glyph)));
    Selection sel(dc, pen.get());
    for (int k = 0; k < thick; ++k) {
        MoveToEx(dc, cx - half + k, cy - half, nullptr);
        LineTo(dc, cx + half + 1 + k, cy + half + 1);
        MoveToEx(dc, cx + half + k, cy - half, nullptr);
        LineTo(dc, cx - half - 1 + k, cy + half + 1);
    }
}

void drawMenuItem(HDC dc, const RECT& r, const std::wstring& text, bool hot, bool disabled, bool hidePrefix,
                  const RECT& bar, const Theme& t) {
    const skin::Skin& s = t.s;
    if (hot) {
        fill(dc, r, s.menuHover);
    } else {
        fillGradient(dc, r, s.menuBar, bar.top, height(bar));
    }
    Selection font(dc, t.menuFont.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ref(disabled ? s.disabledText : hot ? s.menuHoverText : s.menuText));
    RECT tr = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | (hidePrefix ? DT_HIDEPREFIX : 0));
}

void paintFrame(Sub& sub) {
    if (!g_theme) return;
    const Theme& t = *g_theme;
    const skin::Skin& s = t.s;
    const HWND h = sub.hwnd;
    const FrameGeometry g = frameGeometry(h);
    if (g.width <= 0 || g.height <= 0) return;
    WindowDC windowDC(h, true);
    if (!windowDC.get()) return;
    Buffer buf(windowDC.get(), g.width, g.height);
    if (!buf.ok()) return;
    const HDC dc = buf.dc();
    const bool active = sub.active;

    // Frame fill, then the title band over the top edge, then the outline.
    fill(dc, {0, 0, g.width, g.height}, active ? s.frameFillActive : s.frameFillInactive);
    fillGradient(dc, g.caption, active ? s.captionActive : s.captionInactive);
    frame(dc, {0, 0, g.width, g.height}, active ? s.frameActive : s.frameInactive);

    // Icon and title text.
    int textLeft = g.border + 6;
    if (!IsRectEmpty(&g.icon)) {
        DrawIconEx(dc, g.icon.left, g.icon.top, windowIcon(h), 16, 16, 0, nullptr, DI_NORMAL);
        textLeft = g.icon.right + 5;
    }
    const int textRight = IsRectEmpty(&g.close) ? g.width - g.border - 4 : g.close.left - 4;
    const std::wstring title = windowText(h);
    if (!title.empty() && textRight > textLeft) {
        Selection font(dc, t.captionFont.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ref(active ? s.captionText : s.captionTextInactive));
        RECT tr{textLeft, g.border, textRight, g.caption.bottom};
        UINT align = DT_LEFT;
        if (s.captionAlign == skin::Align::Center) {
            // Centred on the whole window as long as it does not run into the icon or button.
            tr.left = g.border + 4;
            tr.right = g.width - g.border - 4;
            RECT measure = tr;
            DrawTextW(dc, title.c_str(), -1, &measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
            const int w = width(measure);
            if ((g.width - w) / 2 >= textLeft && (g.width + w) / 2 <= textRight) {
                align = DT_CENTER;
            } else {
                tr = {textLeft, g.border, textRight, g.caption.bottom};
            }
        }
        DrawTextW(dc, title.c_str(), -1, &tr, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (!IsRectEmpty(&g.close)) drawCloseGlyph(dc, g.close, t, sub.closeHot, sub.closePressed, active);

    // Menu bar: the bar, its items, and the line down to the client area.
    if (!IsRectEmpty(&g.menuBar)) {
        fillGradient(dc, g.menuBar, s.menuBar);
        const HMENU menu = GetMenu(h);
        const int count = GetMenuItemCount(menu);
        RECT wr;
        GetWindowRect(h, &wr);
        const bool hidePrefix = (SendMessageW(h, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
        for (int i = 0; i < count; ++i) {
            RECT ir;
            if (!GetMenuItemRect(h, menu, static_cast<UINT>(i), &ir)) continue;
            OffsetRect(&ir, -wr.left, -wr.top);
            std::wstring text;
            if (menu == sub.menu && static_cast<std::size_t>(i) < sub.menuTexts.size()) {
                text = sub.menuTexts[static_cast<std::size_t>(i)];
            } else {
                wchar_t buffer[256] = {};
                GetMenuStringW(menu, static_cast<UINT>(i), buffer, 256, MF_BYPOSITION);
                text = buffer;
            }
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            drawMenuItem(dc, ir, text, (state & MF_HILITE) != 0, (state & (MF_GRAYED | MF_DISABLED)) != 0, hidePrefix,
                         g.menuBar, t);
        }
        if (g.client.top > g.menuBar.bottom)
            fill(dc, {g.border, g.menuBar.bottom, g.width - g.border, g.client.top}, s.menuLine);
    }

    ExcludeClipRect(windowDC.get(), g.client.left, g.client.top, g.client.right, g.client.bottom);
    buf.blitTo(windowDC.get());
}

// Makes the menu bar's items owner-drawn so that their hot and open states,
// which the system paints outside WM_NCPAINT, come to us as WM_DRAWITEM.
void convertMenu(Sub& sub) {
    const HMENU menu = GetMenu(sub.hwnd);
    if (!menu || menu == sub.menu || !IsMenu(menu)) return;
    const int count = GetMenuItemCount(menu);
    if (count <= 0 || count > 255) return;
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        wchar_t buffer[256] = {};
        info.dwTypeData = buffer;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) return;
        if (info.fType & (MFT_BITMAP | MFT_SEPARATOR)) return;  // leave unusual bars to the system
        if ((info.fType & MFT_OWNERDRAW) && (info.dwItemData & ~0xFFu) != kMenuTag) return;
        texts.emplace_back(buffer);
    }
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        info.fType |= MFT_OWNERDRAW;
        info.dwItemData = kMenuTag | static_cast<ULONG_PTR>(i);
        SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
    sub.menu = menu;
    sub.menuTexts = std::move(texts);
    if (g_theme) {
        MENUINFO mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIM_BACKGROUND;
        mi.hbrBack = g_theme->menuBack.get();  // owned by the theme, replaced on re-attach
        SetMenuInfo(menu, &mi);
    }
    SetWindowPos(sub.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool isOurMenuItem(UINT ctlType, ULONG_PTR data) { return ctlType == ODT_MENU && (data & ~0xFFu) == kMenuTag; }

void updateGlow(Sub& sub) {
    if (!g_aero || !g_theme || g_theme->s.aeroSize == 0 || g_theme->s.aeroStrength == 0) {
        sub.glow.reset();
        return;
    }
    if (!sub.glow) sub.glow = std::make_unique<Glow>();
    sub.glow->follow(sub.hwnd, g_theme->s.aeroColor, g_theme->s.aeroSize, g_theme->s.aeroStrength, sub.active);
}

void trackLeave(Sub& sub, bool nonClient) {
    if (sub.tracking) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE | (nonClient ? TME_NONCLIENT : 0);
    tme.hwndTrack = sub.hwnd;
    sub.tracking = TrackMouseEvent(&tme) != FALSE;
}

LRESULT frameProc(Sub& sub, UINT m, WPARAM w, LPARAM l) {
    const HWND h = sub.hwnd;
    const Theme& t = *g_theme;
    switch (m) {
    case WM_NCPAINT:
        if (GetMenu(h) != sub.menu) convertMenu(sub);
        paintFrame(sub);
        return 0;
    case WM_NCACTIVATE: {
        sub.active = w != 0;
        // lParam -1 keeps the default handler from painting its own title bar.
        const LRESULT r = callOld(sub, m, w, -1);
        paintFrame(sub);
        if (sub.glow) updateGlow(sub);
        return r;
    }
    case 0x00AE:  // WM_NCUAHDRAWCAPTION: themed systems paint the caption here
    case 0x00AF:  // WM_NCUAHDRAWFRAME
        return 0;
    case WM_SETTEXT:
    case WM_SETICON: {
        const LRESULT r = callOld(sub, m, w, l);
        paintFrame(sub);
        return r;
    }
    case WM_NCHITTEST: {
        const LRESULT r = callOld(sub, m, w, l);
        const RECT close = closeRectInScreen(h);
        const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        if (PtInRect(&close, p)) return HTCLOSE;
        // Only the close button is drawn: any other title button area is title bar.
        if (r == HTCLOSE || r == HTMINBUTTON || r == HTMAXBUTTON || r == HTHELP) return HTCAPTION;
        return r;
    }
    case WM_NCMOUSEMOVE: {
        const bool hot = w == HTCLOSE;
        if (hot != sub.closeHot) {
            sub.closeHot = hot;
            paintFrame(sub);
        }
        trackLeave(sub, true);
        return callOld(sub, m, w, l);
    }
    case WM_NCMOUSELEAVE:
        sub.tracking = false;
        if (sub.closeHot) {
            sub.closeHot = false;
            paintFrame(sub);
        }
        return callOld(sub, m, w, l);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (w == HTCLOSE) {
            // Tracked here: the default handler would draw its own pressed button.
            sub.closeDown = sub.closePressed = true;
            SetCapture(h);
            paintFrame(sub);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (sub.closeDown) {
            POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ClientToScreen(h, &p);
            const RECT close = closeRectInScreen(h);
            const bool inside = PtInRect(&close, p) != FALSE;
            if (inside != sub.closePressed) {
                sub.closePressed = inside;
                paintFrame(sub);
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (sub.closeDown) {
            const bool inside = sub.closePressed;
            sub.closeDown = sub.closePressed = sub.closeHot = false;
            ReleaseCapture();
            paintFrame(sub);
            if (inside) {
                POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
                ClientToScreen(h, &p);
                SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(p.x, p.y));
            }
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (sub.closeDown && reinterpret_cast<HWND>(l) != h) {
            sub.closeDown = sub.closePressed = false;
            paintFrame(sub);
        }
        break;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(h, &r);
        FillRect(reinterpret_cast<HDC>(w), &r, t.face.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX: {
        const HDC dc = reinterpret_cast<HDC>(w);
        const HWND child = reinterpret_cast<HWND>(l);
        SetTextColor(dc, ref(child && !IsWindowEnabled(child) ? t.s.disabledText : t.s.text));
        SetBkColor(dc, ref(t.s.face));
        return reinterpret_cast<LRESULT>(t.face.get());
    }
    case WM_CTLCOLOREDIT: {
        const HDC dc = reinterpret_cast<HDC>(w);
        SetTextColor(dc, ref(t.s.editText));
        SetBkColor(dc, ref(t.s.editBack));
        return reinterpret_cast<LRESULT>(t.editBack.get());
    }
    case WM_CTLCOLORLISTBOX: {
        const HDC dc = reinterpret_cast<HDC>(w);
        SetTextColor(dc, ref(t.s.listText));
        SetBkColor(dc, ref(t.s.listBack));
        return reinterpret_cast<LRESULT>(t.listBack.get());
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        if (mis && isOurMenuItem(mis->CtlType, mis->itemData)) {
            const std::size_t i = mis->itemData & 0xFF;
            const std::wstring text = i < sub.menuTexts.size() ? sub.menuTexts[i] : std::wstring();
            WindowDC dc(h, false);
            Selection font(dc.get(), t.menuFont.get());
            RECT r{0, 0, 0, 0};
            DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
            mis->itemWidth = static_cast<UINT>(std::max(0, width(r)) + 4);
            mis->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU));
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        if (dis && isOurMenuItem(dis->CtlType, dis->itemData)) {
            const std::size_t i = dis->itemData & 0xFF;
            const std::wstring text = i < sub.menuTexts.size() ? sub.menuTexts[i] : std::wstring();
            const FrameGeometry g = frameGeometry(h);
            RECT bar = g.menuBar;
            if (IsRectEmpty(&bar)) bar = dis->rcItem;
            const bool hot = (dis->itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
            drawMenuItem(dis->hDC, dis->rcItem, text, hot, (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0,
                         (dis->itemState & ODS_NOACCEL) != 0, bar, t);
            return TRUE;
        }
        break;
    }
    case WM_CREATE: {
        const LRESULT r = callOld(sub, m, w, l);
        if (r != -1 && IsWindow(h)) convertMenu(sub);
        return r;
    }
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case WM_ACTIVATE: {
        const LRESULT r = callOld(sub, m, w, l);
        if (IsWindow(h)) updateGlow(sub);
        return r;
    }
    case WM_DESTROY:
        sub.glow.reset();
        break;
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_SYSCOMMAND:
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE: {
        // The default handlers of these may paint parts of the title bar themselves.
        const LRESULT r = callOld(sub, m, w, l);
        if (IsWindow(h) && IsWindowVisible(h)) paintFrame(sub);
        return r;
    }
    default:
        break;
    }
    return callOld(sub, m, w, l);
}

// ---- push buttons -------------------------------------------------------------

// Draws a control's client area off-screen and copies it in one go, so that
// the control never shows half-drawn states.
using DrawControl = void (*)(const Sub&, HDC, const RECT&);

void paintBuffered(const Sub& sub, HDC target, DrawControl draw) {
    RECT r;
    GetClientRect(sub.hwnd, &r);
    if (width(r) <= 0 || height(r) <= 0) return;
    Buffer buf(target, width(r), height(r));
    if (!buf.ok()) return;
    draw(sub, buf.dc(), r);
    buf.blitTo(target);
}

void drawButton(const Sub& sub, HDC dc, const RECT& r) {
    const Theme& t = *g_theme;
    const skin::Skin& s = t.s;
    const HWND h = sub.hwnd;
    const LRESULT state = SendMessageW(h, BM_GETSTATE, 0, 0);
    const bool pressed = (state & BST_PUSHED) != 0;
    const bool enabled = IsWindowEnabled(h) != FALSE;
    const bool focused = GetFocus() == h;
    const bool isDefault = (GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

    fill(dc, r, s.face);
    const int radius = s.buttonRadius;
    win::UniqueRegion shape(radius > 0 ? CreateRoundRectRgn(0, 0, r.right + 1, r.bottom + 1, radius * 2, radius * 2)
                                       : CreateRectRgn(0, 0, r.right, r.bottom));
    skin::Gradient face = !enabled ? s.button : pressed ? s.buttonPressed : sub.hover ? s.buttonHover : s.button;
    if (!enabled)
        for (std::size_t i = 0; i < face.count; ++i) face.stops[i].color = skin::mix(face.stops[i].color, s.face, 110);
    if (shape) SelectClipRgn(dc, shape.get());
    fillGradient(dc, r, face);
    SelectClipRgn(dc, nullptr);
    if (shape) {
        const skin::Color borderColor = enabled && (focused || isDefault) ? s.buttonFocus : s.buttonBorder;
        win::UniqueBrush border(CreateSolidBrush(ref(enabled ? borderColor : skin::mix(s.buttonBorder, s.face, 110))));
        FrameRgn(dc, shape.get(), border.get(), 1, 1);
        if (enabled && focused) {
            // A second, inner ring marks the focus.
            win::UniqueRegion inner(radius > 1 ? CreateRoundRectRgn(1, 1, r.right, r.bottom, radius * 2 - 2, radius * 2 - 2)
                                               : CreateRectRgn(1, 1, r.right - 1, r.bottom - 1));
            win::UniqueBrush ring(CreateSolidBrush(ref(skin::mix(s.buttonFocus, face.middle(), 100))));
            if (inner) FrameRgn(dc, inner.get(), ring.get(), 1, 1);
        }
    }
    const std::wstring text = windowText(h);
    Selection font(dc, controlFont(h));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ref(enabled ? s.buttonText : s.disabledText));
    RECT tr{r.left + 3, r.top + 1, r.right - 3, r.bottom - 1};
    if (pressed) OffsetRect(&tr, 1, 1);
    const bool multiline = (GetWindowLongW(h, GWL_STYLE) & BS_MULTILINE) != 0;
    if (multiline) {
        RECT measure = tr;
        DrawTextW(dc, text.c_str(), -1, &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        const int dy = (height(tr) - height(measure)) / 2;
        if (dy > 0) tr.top += dy;
        DrawTextW(dc, text.c_str(), -1, &tr, DT_CENTER | DT_WORDBREAK | prefixFlag(h));
    } else {
        DrawTextW(dc, text.c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefixFlag(h));
    }
}

// ---- drop-down list boxes -----------------------------------------------------

void drawArrow(HDC dc, const RECT& r, const skin::Skin& s, skin::Color color) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    if (s.arrowGlyph == skin::ArrowGlyph::Chevron) {
        win::UniquePen pen(CreatePen(PS_SOLID, 1, ref(color)));
        Selection sel(dc, pen.get());
        for (int k = 0; k < 2; ++k) {
            MoveToEx(dc, cx - 4, cy - 2 + k, nullptr);
            LineTo(dc, cx, cy + 2 + k);
            LineTo(dc, cx + 5, cy - 3 + k);
        }
    } else {
        for (int k = 0; k < 4; ++k) fill(dc, {cx - 3 + k, cy - 2 + k, cx + 4 - k, cy - 1 + k}, color);
    }
}

void drawCombo(const Sub& sub, HDC dc, const RECT& r) {
    const Theme& t = *g_theme;
    const skin::Skin& s = t.s;
    const HWND h = sub.hwnd;
    const bool enabled = IsWindowEnabled(h) != FALSE;
    const bool focused = GetFocus() == h;
    const bool dropped = SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0;

    const skin::Color back = enabled ? s.comboBack : skin::mix(s.comboBack, s.face, 150);
    fill(dc, r, back);
    const int arrowWidth = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), width(r) / 2);
    const RECT arrow{r.right - 1 - arrowWidth, r.top + 1, r.right - 1, r.bottom - 1};
    skin::Gradient arrowFace = dropped ? s.buttonPressed : sub.hover && enabled ? s.buttonHover : s.comboArrow;
    if (!enabled)
        for (std::size_t i = 0; i < arrowFace.count; ++i)
            arrowFace.stops[i].color = skin::mix(arrowFace.stops[i].color, s.face, 110);
    fillGradient(dc, arrow, arrowFace);
    const skin::Color borderColor = !enabled ? skin::mix(s.comboBorder, s.face, 110)
                                    : (sub.hover || focused || dropped) ? s.comboHoverBorder
                                                                        : s.comboBorder;
    fill(dc, {arrow.left - 1, arrow.top, arrow.left, arrow.bottom}, skin::mix(borderColor, back, 100));
    frame(dc, r, borderColor);
    drawArrow(dc, arrow, s, enabled ? s.comboGlyph : s.disabledText);

    std::wstring text;
    const LRESULT sel = SendMessageW(h, CB_GETCURSEL, 0, 0);
    if (sel >= 0) {
        const LRESULT length = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
        if (length > 0 && length < 0x100000) {
            text.assign(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT got = SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data()));
            text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        }
    }
    RECT field{r.left + 2, r.top + 2, arrow.left - 2, r.bottom - 2};
    skin::Color textColor = enabled ? s.comboText : s.disabledText;
    if (focused && !dropped && enabled) {
        fill(dc, field, s.listSelect);
        textColor = s.listSelectText;
    }
    Selection font(dc, controlFont(h));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ref(textColor));
    RECT tr{field.left + 2, field.top, field.right - 1, field.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void drawList(const Sub& sub, HDC dc, const RECT& r) {
    const Theme& t = *g_theme;
    const skin::Skin& s = t.s;
    const HWND h = sub.hwnd;
    fill(dc, r, s.listBack);
    const LRESULT count = SendMessageW(h, LB_GETCOUNT, 0, 0);
    const LRESULT top = SendMessageW(h, LB_GETTOPINDEX, 0, 0);
    const LRESULT selected = SendMessageW(h, LB_GETCURSEL, 0, 0);
    const int rowHeight = static_cast<int>(SendMessageW(h, LB_GETITEMHEIGHT, 0, 0));
    if (count > 0 && top >= 0 && rowHeight > 0 && rowHeight < 1000) {
        Selection font(dc, controlFont(h));
        SetBkMode(dc, TRANSPARENT);
        std::wstring text;
        for (LRESULT i = top; i < count; ++i) {
            const int y = static_cast<int>(i - top) * rowHeight;
            if (y >= r.bottom) break;
            const RECT row{r.left, y, r.right, y + rowHeight};
            const bool isSelected = i == selected;
            if (isSelected) fill(dc, row, s.listSelect);
            const LRESULT length = SendMessageW(h, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            text.clear();
            if (length > 0 && length < 0x100000) {
                text.assign(static_cast<std::size_t>(length) + 1, L'\0');
                const LRESULT got = SendMessageW(h, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
                text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            }
            SetTextColor(dc, ref(isSelected ? s.listSelectText : s.listText));
            RECT tr{row.left + 4, row.top, row.right - 2, row.bottom};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

// Draws over a list's vertical scroll bar in the skin's colours: track,
// two arrow buttons and the thumb where the system put them.
void paintScrollBar(HWND h, HDC dc, const skin::Skin& s) {
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_VSCROLL)) return;
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    if (!GetScrollBarInfo(h, OBJID_VSCROLL, &sbi) || (sbi.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
        return;
    RECT wr;
    GetWindowRect(h, &wr);
    RECT bar = sbi.rcScrollBar;
    OffsetRect(&bar, -wr.left, -wr.top);
    const int w = width(bar);
    if (w <= 0 || height(bar) < 2 * w) return;
    const skin::Color track = skin::mix(s.listBack, s.comboBorder, 40);
    fill(dc, bar, track);
    const RECT up{bar.left, bar.top, bar.right, bar.top + w};
    const RECT down{bar.left, bar.bottom - w, bar.right, bar.bottom};
    for (const RECT& button : {up, down}) {
        fillGradient(dc, button, s.comboArrow);
        frame(dc, button, skin::mix(s.comboBorder, s.listBack, 80));
    }
    // Arrow glyphs: small filled triangles pointing up and down.
    const int cx = (bar.left + bar.right) / 2;
    for (int k = 0; k < 4; ++k) {
        const int uy = up.top + w / 2 - 2 + k;
        fill(dc, {cx - k, uy, cx + k + 1, uy + 1}, s.comboGlyph);
        const int dy = down.top + w / 2 + 1 - k;
        fill(dc, {cx - k, dy, cx + k + 1, dy + 1}, s.comboGlyph);
    }
    if (!(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && sbi.xyThumbBottom > sbi.xyThumbTop) {
        RECT thumb{bar.left + 2, bar.top + sbi.xyThumbTop, bar.right - 2, bar.top + sbi.xyThumbBottom};
        IntersectRect(&thumb, &thumb, &bar);
        fill(dc, thumb, skin::mix(s.comboBorder, s.listBack, 60));
    }
}

// Draws over the outer ring of the border that the default WM_NCPAINT drew.
void paintBorder(const Sub& sub) {
    const Theme& t = *g_theme;
    const skin::Skin& s = t.s;
    const HWND h = sub.hwnd;
    RECT wr;
    GetWindowRect(h, &wr);
    OffsetRect(&wr, -wr.left, -wr.top);
    WindowDC dc(h, true);
    if (!dc.get()) return;
    if (sub.kind == Kind::List) {
        frame(dc.get(), wr, s.listBorder);
        paintScrollBar(h, dc.get(), s);
        return;
    }
    const bool hot = sub.hover || GetFocus() == h;
    const bool enabled = IsWindowEnabled(h) != FALSE;
    const skin::Color outer = !enabled ? skin::mix(s.editBorder, s.face, 110) : hot ? s.editFocusBorder : s.editBorder;
    frame(dc.get(), wr, outer);
    if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
        RECT inner = wr;
        InflateRect(&inner, -1, -1);
        const bool readOnly = (GetWindowLongW(h, GWL_STYLE) & ES_READONLY) != 0;
        frame(dc.get(), inner, enabled && !readOnly ? s.editBack : s.face);
    }
}

// ---- control procedures -------------------------------------------------------

void paintNow(const Sub& sub) {
    if (!IsWindowVisible(sub.hwnd)) return;
    WindowDC dc(sub.hwnd, false);
    if (!dc.get()) return;
    switch (sub.kind) {
    case Kind::Button: paintBuffered(sub, dc.get(), drawButton); break;
    case Kind::Combo: paintBuffered(sub, dc.get(), drawCombo); break;
    case Kind::List:
        paintBuffered(sub, dc.get(), drawList);
        paintBorder(sub);
        break;
    default: break;
    }
}

void paintClient(const Sub& sub, HDC dc) {
    switch (sub.kind) {
    case Kind::Button: paintBuffered(sub, dc, drawButton); break;
    case Kind::Combo: paintBuffered(sub, dc, drawCombo); break;
    case Kind::List: paintBuffered(sub, dc, drawList); break;
    default: break;
    }
}

// Messages after which the standard control may have drawn itself directly
// (through GetDC, not WM_PAINT); we paint over at once.
bool changesLook(Kind kind, UINT m) {
    switch (m) {
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETTEXT: case WM_SETFONT:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_KEYDOWN: case WM_KEYUP:
    case WM_CHAR: case WM_SYSKEYDOWN: case WM_CAPTURECHANGED: case WM_UPDATEUISTATE: case WM_MOUSEWHEEL:
        return true;
    default: break;
    }
    switch (kind) {
    case Kind::Button:
        return m == BM_SETSTATE || m == BM_SETSTYLE || m == BM_CLICK;
    case Kind::Combo:
        return m == CB_SETCURSEL || m == CB_RESETCONTENT || m == CB_SELECTSTRING || m == CB_SHOWDROPDOWN ||
               m == CB_DELETESTRING || m == WM_COMMAND || m == WM_CTLCOLORLISTBOX;
    case Kind::List:
        return m == WM_MOUSEMOVE || m == WM_TIMER || m == WM_VSCROLL || m == LB_SETCURSEL || m == LB_SETTOPINDEX ||
               m == LB_SETCARETINDEX || m == LB_RESETCONTENT || m == LB_DELETESTRING || m == LB_ADDSTRING ||
               m == LB_INSERTSTRING || m == WM_SHOWWINDOW || m == WM_WINDOWPOSCHANGED || m == LB_SETSEL ||
               m == WM_NCLBUTTONDOWN || m == WM_NCMOUSEMOVE || m == WM_NCLBUTTONUP;
    default:
        return false;
    }
}

LRESULT controlProc(Sub& sub, UINT m, WPARAM w, LPARAM l) {
    const HWND h = sub.hwnd;
    if (sub.kind == Kind::Edit || (sub.kind == Kind::List && m == WM_NCPAINT)) {
        const LRESULT r = callOld(sub, m, w, l);
        if (!IsWindow(h)) return r;
        switch (m) {
        case WM_NCPAINT: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_STYLECHANGED:
            paintBorder(sub);
            break;
        case WM_MOUSEMOVE:
            if (!sub.hover) {
                sub.hover = true;
                trackLeave(sub, false);
                paintBorder(sub);
            }
            break;
        case WM_MOUSELEAVE:
            sub.tracking = false;
            sub.hover = false;
            paintBorder(sub);
            break;
        default: break;
        }
        return r;
    }
    switch (m) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps)) {
            paintClient(sub, dc);
            EndPaint(h, &ps);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        paintClient(sub, reinterpret_cast<HDC>(w));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSELEAVE:
        sub.tracking = false;
        if (sub.hover) {
            sub.hover = false;
            paintNow(sub);
        }
        return callOld(sub, m, w, l);
    case WM_MOUSEMOVE:
        if (sub.kind != Kind::List && !sub.hover) {
            sub.hover = true;
            trackLeave(sub, false);
            const LRESULT r = callOld(sub, m, w, l);
            if (IsWindow(h)) paintNow(sub);
            return r;
        }
        break;
    default:
        break;
    }
    const LRESULT r = callOld(sub, m, w, l);
    if (changesLook(sub.kind, m) && IsWindow(h)) paintNow(sub);
    return r;
}

LRESULT CALLBACK subclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Sub* sub = findSub(h);
    if (!sub) return DefWindowProcW(h, m, w, l);
    if (m == WM_NCDESTROY) {
        const WNDPROC old = sub->old;
        if (GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(subclassProc))
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropW(h, kProp);
        sub->glow.reset();
        if (sub->depth == 0) {
            freeSub(sub);
        } else {
            sub->dead = true;
        }
        return CallWindowProcW(old, h, m, w, l);
    }
    if (!g_theme || sub->dead) return callOld(*sub, m, w, l);
    ++sub->depth;
    const LRESULT result = sub->kind == Kind::Frame ? frameProc(*sub, m, w, l) : controlProc(*sub, m, w, l);
    if (--sub->depth == 0 && sub->dead) freeSub(sub);
    return result;
}

// ---- the thread hook ----------------------------------------------------------

LRESULT CALLBACK cbtProc(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_CREATEWND && g_theme) {
        subclass(reinterpret_cast<HWND>(w));
    }
    return CallNextHookEx(nullptr, code, w, l);
}

BOOL CALLBACK enumChild(HWND h, LPARAM) {
    subclass(h);
    return TRUE;
}

BOOL CALLBACK enumTop(HWND h, LPARAM) {
    subclass(h);
    EnumChildWindows(h, enumChild, 0);
    return TRUE;
}

std::unique_ptr<Theme> makeTheme(skin::Skin s) {
    auto t = std::make_unique<Theme>();
    t->face.reset(CreateSolidBrush(ref(s.face)));
    t->editBack.reset(CreateSolidBrush(ref(s.editBack)));
    t->listBack.reset(CreateSolidBrush(ref(s.listBack)));
    t->menuBack.reset(CreateSolidBrush(ref(s.menuBar.middle())));
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
        t->captionFont.reset(CreateFontIndirectW(&ncm.lfCaptionFont));
        t->menuFont.reset(CreateFontIndirectW(&ncm.lfMenuFont));
    }
    if (!t->captionFont) t->captionFont.reset(CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    if (!t->menuFont) t->menuFont.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    if (!t->face || !t->editBack || !t->listBack || !t->menuBack) return nullptr;
    t->s = std::move(s);
    return t;
}

void refreshAll() {
    // Records can be freed by what the repaint triggers; walk a copy of the handles.
    std::vector<HWND> windows;
    for (const Sub* sub : g_subs) windows.push_back(sub->hwnd);
    for (HWND h : windows) {
        Sub* sub = findSub(h);
        if (!sub) continue;
        if (sub->kind == Kind::Frame) {
            if (sub->menu && GetMenu(h) == sub->menu && g_theme) {
                MENUINFO mi{};
                mi.cbSize = sizeof mi;
                mi.fMask = MIM_BACKGROUND;
                mi.hbrBack = g_theme->menuBack.get();
                SetMenuInfo(sub->menu, &mi);
            }
            convertMenu(*sub);
            SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (findSub(h)) updateGlow(*findSub(h));
        }
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

}  // namespace

int attachSkin(const unsigned char* data, int size) {
    if (!data || size <= 0) return kErrorNoData;
    auto parsed = skin::parseSkin(std::span<const unsigned char>(data, static_cast<std::size_t>(size)));
    auto* s = std::get_if<skin::Skin>(&parsed);
    if (!s) return kErrorBadSkin;
    auto theme = makeTheme(std::move(*s));
    if (!theme) return kErrorSystem;
    const DWORD thread = GetCurrentThreadId();
    if (!g_hook || g_thread != thread) {
        win::UniqueHook hook(SetWindowsHookExW(WH_CBT, cbtProc, nullptr, thread));
        if (!hook) return kErrorSystem;
        g_hook = std::move(hook);
        g_thread = thread;
    }
    // The old theme's brushes stay alive until every window has switched.
    std::unique_ptr<Theme> old = std::move(g_theme);
    g_theme = std::move(theme);
    EnumThreadWindows(thread, enumTop, 0);
    refreshAll();
    return kOk;
}

int setAero(int on) {
    g_aero = on != 0;
    std::vector<HWND> windows;
    for (const Sub* sub : g_subs)
        if (sub->kind == Kind::Frame) windows.push_back(sub->hwnd);
    for (HWND h : windows)
        if (Sub* sub = findSub(h)) updateGlow(*sub);
    return kOk;
}

void detachAll() {
    g_hook.reset();
    for (Sub* sub : g_subs) {
        if (IsWindow(sub->hwnd) &&
            GetWindowLongPtrW(sub->hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(subclassProc)) {
            SetWindowLongPtrW(sub->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub->old));
            RemovePropW(sub->hwnd, kProp);
        }
        sub->glow.reset();
        delete sub;
    }
    g_subs.clear();
    unregisterGlowClass();
}

}  // namespace skinlib
