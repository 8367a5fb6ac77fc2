// A stand-in for the program's main window, to look at skins on a real window:
//   skin_demo [skin.she] [--no-aero] [--drop] [--focus-edit] [--msgbox] [--at X Y]
// loads SkinH_EL.dll from its own folder, attaches the given skin and turns the
// glow on. --drop opens the first list, --msgbox shows a message box on top.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

using AttachFn = int(__stdcall*)(const unsigned char*, int, const char*, int, int, int);
using AeroFn = int(__stdcall*)(int);

HFONT font(int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       PROOF_QUALITY, DEFAULT_PITCH, L"微软雅黑");
}

HWND g_combo1, g_combo2, g_edit;

LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_CREATE: {
        const auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, int x, int y, int cx, int cy,
                             HFONT f) {
            HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, h, nullptr, nullptr, nullptr);
            SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), 0);
            return c;
        };
        add(L"STATIC", L"公元前用“-”（负）号表示", SS_LEFT | SS_CENTERIMAGE, 0, 8, 87, 152, 24, font(12, 400));
        add(L"STATIC", L"年", SS_LEFT | SS_CENTERIMAGE, 0, 115, 57, 20, 24, font(14, 700));
        g_edit = add(L"EDIT", L"", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 42, 57, 64, 24, font(13, 400));
        add(L"BUTTON", L"查询", BS_PUSHBUTTON | WS_TABSTOP, 0, 174, 59, 96, 23, font(12, 400));
        g_combo1 = add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 40, 11, 96, 160, font(12, 400));
        g_combo2 = add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_DISABLED, 0, 173, 11, 96, 160,
                       font(12, 400));
        for (const wchar_t* s : {L"-请选择朝代-", L"西汉", L"新（王莽）", L"东汉", L"西晋", L"隋", L"唐", L"北宋", L"南宋",
                                 L"元", L"明", L"清"})
            SendMessageW(g_combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendMessageW(g_combo2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"-请选择年号-"));
        SendMessageW(g_combo1, CB_SETCURSEL, 0, 0);
        SendMessageW(g_combo2, CB_SETCURSEL, 0, 0);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(w) == 101 || LOWORD(w) == 102) MessageBoxW(h, L"菜单项", L"信息：", MB_OK | MB_ICONINFORMATION);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(h, m, w, l);
}

std::vector<unsigned char> readFile(const std::wstring& path) {
    std::vector<unsigned char> data;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return data;
    const DWORD size = GetFileSize(f, nullptr);
    data.resize(size);
    DWORD got = 0;
    if (size) ReadFile(f, data.data(), size, &got, nullptr);
    data.resize(got);
    CloseHandle(f);
    return data;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring skinPath;
    bool aero = true, drop = false, focusEdit = false, msgbox = false;
    int x = 40, y = 40;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--no-aero") aero = false;
        else if (a == L"--drop") drop = true;
        else if (a == L"--focus-edit") focusEdit = true;
        else if (a == L"--msgbox") msgbox = true;
        else if (a == L"--at" && i + 2 < argc) {
            x = _wtoi(argv[++i]);
            y = _wtoi(argv[++i]);
        } else skinPath = a;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"TesmarinSkinDemo";
    RegisterClassW(&wc);
    HMENU bar = CreateMenu();
    HMENU about = CreatePopupMenu();
    AppendMenuW(about, MF_STRING, 101, L"软件说明");
    AppendMenuW(about, MF_STRING, 102, L"关于本程序");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(about), L"关于");
    HWND h = CreateWindowExW(0, wc.lpszClassName, L"Tesmarin-查询", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, 320, 166,
                             nullptr, bar, instance, nullptr);

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dll = self;
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"SkinH_EL.dll";
    HMODULE lib = LoadLibraryW(dll.c_str());
    if (lib && !skinPath.empty()) {
        auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(lib, "SkinH_AttachRes")));
        auto setAero = reinterpret_cast<AeroFn>(reinterpret_cast<void*>(GetProcAddress(lib, "SkinH_SetAero")));
        std::vector<unsigned char> data = readFile(skinPath);
        if (attach) attach(data.empty() ? nullptr : data.data(), static_cast<int>(data.size()), "", 0, 0, 0);
        if (setAero && aero) setAero(1);
    }
    ShowWindow(h, SW_SHOW);
    SetFocus(focusEdit ? g_edit : g_combo1);
    if (drop) SendMessageW(g_combo1, CB_SHOWDROPDOWN, TRUE, 0);
    if (msgbox) MessageBoxW(nullptr, L"欢迎使用 Tesmarin 年号查询。", L"信息：", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(h, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (lib) FreeLibrary(lib);
    return 0;
}
