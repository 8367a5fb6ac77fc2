// SkinH_EL.dll on real windows: loaded by path, its two exports called with bad
// and good skins, and the effect read back from the windows.
#include "skin_format.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using AttachFn = int(__stdcall*)(const unsigned char*, int, const char*, int, int, int);
using AeroFn = int(__stdcall*)(int);

std::vector<unsigned char> readSkin(int number) {
    wchar_t name[8] = {static_cast<wchar_t>(L'0' + number / 10), static_cast<wchar_t>(L'0' + number % 10), 0};
    std::wstring path = std::wstring(L"" TESMARIN_SKINS_DIR) + L"/" + name + L".she";
    std::vector<unsigned char> data;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return data;
    data.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    data.resize(got);
    CloseHandle(f);
    return data;
}

skin::Skin parsed(const std::vector<unsigned char>& data) { return std::get<skin::Skin>(skin::parseSkin(data)); }

COLORREF ref(skin::Color c) { return RGB(c.r, c.g, c.b); }

COLORREF brushColor(LRESULT brush) {
    LOGBRUSH lb{};
    if (!brush || !GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb)) return CLR_INVALID;
    return lb.lbColor;
}

// A window like the program's: caption, window menu and close button, a menu
// bar, a label, a push button, a drop-down list and an edit box.
struct TestWindow {
    HWND frame = nullptr, label = nullptr, button = nullptr, combo = nullptr, edit = nullptr;

    TestWindow() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = L"SkinlibTestWindow";
            registered = RegisterClassW(&wc) != 0;
        }
        HMENU bar = CreateMenu();
        HMENU popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING, 1, L"软件说明");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"关于");
        frame = CreateWindowExW(0, L"SkinlibTestWindow", L"Tesmarin-查询", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100,
                                320, 166, nullptr, bar, nullptr, nullptr);
        label = child(L"STATIC", L"年", 0, 115, 57, 20, 24);
        button = child(L"BUTTON", L"查询", BS_PUSHBUTTON, 174, 59, 96, 23);
        combo = child(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 40, 11, 96, 160);
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 42, 57, 64, 24, frame, nullptr, nullptr,
                               nullptr);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"-请选择朝代-"));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
    HWND child(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, frame, nullptr, nullptr, nullptr);
    }
    ~TestWindow() {
        if (IsWindow(frame)) DestroyWindow(frame);
    }
    void show() {
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    COLORREF labelAnswer() const {
        HDC dc = GetDC(label);
        const LRESULT brush = SendMessageW(frame, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        ReleaseDC(label, dc);
        return brushColor(brush);
    }
};

LONG_PTR proc(HWND h) { return GetWindowLongPtrW(h, GWLP_WNDPROC); }

class SkinLibrary : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(L"" SKINLIB_DLL_PATH);
        ASSERT_NE(module, nullptr) << SKINLIB_DLL_PATH;
        attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(module, "SkinH_AttachRes")));
        setAero = reinterpret_cast<AeroFn>(reinterpret_cast<void*>(GetProcAddress(module, "SkinH_SetAero")));
        ASSERT_NE(attach, nullptr);
        ASSERT_NE(setAero, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
    AttachFn attach = nullptr;
    AeroFn setAero = nullptr;
};

TEST_F(SkinLibrary, BadInputLeavesWindowsStandard) {
    TestWindow w;
    const LONG_PTR before = proc(w.frame), buttonBefore = proc(w.button);
    const COLORREF standardFace = w.labelAnswer();
    const std::string garbage = "MZ\x90\x00 this is not a skin at all";
    const std::string truncated = ".SHE 1\nname = Cut\nface = #1";
    const std::string future = ".SHE 9\nname = X\nface = #000000\ncaption.active = #000000\n";
    const std::vector<unsigned char> good = readSkin(13);
    ASSERT_FALSE(good.empty());

    EXPECT_NE(attach(nullptr, 0, "", 0, 0, 0), 0);
    EXPECT_NE(attach(nullptr, 26370, "", 0, 0, 0), 0);
    EXPECT_NE(attach(good.data(), 0, "", 0, 0, 0), 0);
    EXPECT_NE(attach(good.data(), -1, nullptr, 0, 0, 0), 0);
    for (const std::string* bad : {&garbage, &truncated, &future})
        EXPECT_NE(attach(reinterpret_cast<const unsigned char*>(bad->data()), static_cast<int>(bad->size()), "", 1, 2, 3), 0);
    EXPECT_EQ(setAero(1), 0);  // no skin yet: remembered, nothing drawn
    w.show();

    EXPECT_EQ(proc(w.frame), before);
    EXPECT_EQ(proc(w.button), buttonBefore);
    EXPECT_EQ(w.labelAnswer(), standardFace);
    EXPECT_EQ(FindWindowW(L"TesmarinSkinGlow", nullptr), nullptr);
}

TEST_F(SkinLibrary, SkinsExistingAndLaterWindowsInTheSkinColours) {
    TestWindow w;
    RECT clientBefore, windowBefore;
    GetClientRect(w.frame, &clientBefore);
    GetWindowRect(w.frame, &windowBefore);
    std::vector<unsigned char> data = readSkin(13);
    const skin::Skin s = parsed(data);
    ASSERT_EQ(attach(data.data(), static_cast<int>(data.size()), "", 0, 0, 0), 0);
    // The library keeps no pointer into the buffer.
    std::fill(data.begin(), data.end(), 0xCD);
    data.clear();
    data.shrink_to_fit();
    w.show();

    EXPECT_NE(proc(w.frame), GetClassLongPtrW(w.frame, GCLP_WNDPROC));
    EXPECT_EQ(w.labelAnswer(), ref(s.face));
    RECT clientAfter, windowAfter;
    GetClientRect(w.frame, &clientAfter);
    GetWindowRect(w.frame, &windowAfter);
    EXPECT_TRUE(EqualRect(&clientBefore, &clientAfter));
    EXPECT_TRUE(EqualRect(&windowBefore, &windowAfter));

    // The face behind the controls, and the title bar in one of its two gradients.
    HDC dc = GetDC(w.frame);
    EXPECT_EQ(GetPixel(dc, 300, clientAfter.bottom - 4), ref(s.face));
    ReleaseDC(w.frame, dc);
    POINT origin{0, 0};
    ClientToScreen(w.frame, &origin);
    const int border = origin.x - windowAfter.left;
    HDC wdc = GetWindowDC(w.frame);
    const COLORREF title = GetPixel(wdc, 160, border + 1);
    ReleaseDC(w.frame, wdc);
    MENUBARINFO mbi{};
    mbi.cbSize = sizeof mbi;
    ASSERT_TRUE(GetMenuBarInfo(w.frame, OBJID_MENU, 0, &mbi));
    const int band = mbi.rcBar.top - windowAfter.top;
    EXPECT_TRUE(title == ref(s.captionActive.at(border + 1, band)) || title == ref(s.captionInactive.at(border + 1, band)))
        << std::hex << title;

    // A window made after the attach, such as a message box, is skinned as it is created.
    TestWindow later;
    EXPECT_NE(proc(later.frame), GetClassLongPtrW(later.frame, GCLP_WNDPROC));
    EXPECT_NE(proc(later.button), GetClassLongPtrW(later.button, GCLP_WNDPROC));
    EXPECT_EQ(later.labelAnswer(), ref(s.face));

    // Attaching another skin switches the colours of the same windows.
    std::vector<unsigned char> dark = readSkin(2);
    ASSERT_EQ(attach(dark.data(), static_cast<int>(dark.size()), "", 0, 0, 0), 0);
    EXPECT_EQ(w.labelAnswer(), ref(parsed(dark).face));
}

TEST_F(SkinLibrary, CloseButtonHitTestsAndAeroFollowsTheWindow) {
    TestWindow w;
    std::vector<unsigned char> data = readSkin(13);
    ASSERT_EQ(attach(data.data(), static_cast<int>(data.size()), "", 0, 0, 0), 0);
    w.show();
    RECT wr;
    GetWindowRect(w.frame, &wr);
    POINT origin{0, 0};
    ClientToScreen(w.frame, &origin);
    const int border = origin.x - wr.left;
    // Near the right end of the title bar: the close button; the middle: the caption.
    const LPARAM closePoint = MAKELPARAM(wr.right - border - 8, wr.top + border + 8);
    const LPARAM titlePoint = MAKELPARAM((wr.left + wr.right) / 2, wr.top + border + 8);
    EXPECT_EQ(SendMessageW(w.frame, WM_NCHITTEST, 0, closePoint), HTCLOSE);
    EXPECT_EQ(SendMessageW(w.frame, WM_NCHITTEST, 0, titlePoint), HTCAPTION);

    ASSERT_EQ(setAero(1), 0);
    HWND glow = FindWindowW(L"TesmarinSkinGlow", nullptr);
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(IsWindowVisible(glow));
    EXPECT_TRUE(GetWindowLongW(glow, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongW(glow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    RECT gr;
    GetWindowRect(glow, &gr);
    EXPECT_LT(gr.left, wr.left);
    EXPECT_GT(gr.right, wr.right);

    SetWindowPos(w.frame, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(w.frame, &wr);
    GetWindowRect(glow, &gr);
    EXPECT_EQ(gr.left + (gr.right - gr.left - (wr.right - wr.left)) / 2, wr.left);
    ShowWindow(w.frame, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(glow));
    ShowWindow(w.frame, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(glow));

    ASSERT_EQ(setAero(0), 0);
    EXPECT_EQ(FindWindowW(L"TesmarinSkinGlow", nullptr), nullptr);
}

TEST_F(SkinLibrary, UnloadGivesWindowsTheirProceduresBack) {
    TestWindow w;
    const LONG_PTR before = proc(w.frame);
    std::vector<unsigned char> data = readSkin(13);
    ASSERT_EQ(attach(data.data(), static_cast<int>(data.size()), "", 0, 0, 0), 0);
    ASSERT_EQ(setAero(1), 0);
    w.show();
    FreeLibrary(module);
    module = nullptr;
    EXPECT_EQ(proc(w.frame), before);
    // Still usable afterwards: painting and a new window go to the system alone.
    w.show();
    TestWindow later;
    EXPECT_EQ(proc(later.frame), GetClassLongPtrW(later.frame, GCLP_WNDPROC));
}

}  // namespace
