// The floor for start-up and memory figures: a plain window of the main
// window's size that greets the user with a message box before it is shown,
// and nothing else.
#include <windows.h>

namespace {

LRESULT CALLBACK baselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = baselineProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TesmarinBaseline";
    RegisterClassW(&windowClass);

    const int left = (GetSystemMetrics(SM_CXSCREEN) - 320) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - 166) / 2;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Baseline", WS_CAPTION | WS_SYSMENU, left, top,
                                  320, 166, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    MessageBoxW(nullptr, L"Baseline", L"欢迎", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
