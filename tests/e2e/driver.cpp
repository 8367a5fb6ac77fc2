#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "ui/win/text.h"

namespace e2e {

namespace {

constexpr auto kPollInterval = 20ms;

// A window DC borrowed from the system; released, not deleted.
class BorrowedDC {
public:
    explicit BorrowedDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~BorrowedDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    BorrowedDC(const BorrowedDC&) = delete;
    BorrowedDC& operator=(const BorrowedDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The clipboard is open between construction and destruction.
class ClipboardSession {
public:
    ClipboardSession() : open_(OpenClipboard(nullptr) != 0) {}
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_;
};

std::wstring wideText(HWND window) {
    // WM_GETTEXT is marshalled across processes, unlike GetWindowText for
    // controls of another process, which only reads the caption field.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool isExtendedKey(WORD vk) {
    switch (vk) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

INPUT keyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (isExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0u);
    return input;
}

void send(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// ---- PNG writing: RGB, 8 bits, zlib with stored (uncompressed) blocks. ----

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + start, out.size() - start));
}

// `rgb` holds `height` rows of width * 3 bytes (R, G, B).
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter type None
        const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
        raw.insert(raw.end(), row, row + width * 3);
    }

    std::vector<uint8_t> zlib{0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t length = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                    raw.begin() + static_cast<std::ptrdiff_t>(pos + length));
        pos += length;
        if (last) break;
    }
    putBigEndian(zlib, (b << 16) | a);

    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBigEndian(header, static_cast<uint32_t>(width));
    putBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

bool writeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size();
}

// Removes a directory with the files in it (the run directory holds no subfolders).
bool removeDirectory(const std::wstring& directory) {
    WIN32_FIND_DATAW found{};
    {
        win::UniqueFind find(FindFirstFileW((directory + L"\\*").c_str(), &found));
        if (find) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = directory + L"\\" + name;
                // The program marks the library it writes hidden; plain attributes
                // make sure nothing refuses the deletion.
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            } while (FindNextFileW(find.get(), &found));
        }
    }
    return RemoveDirectoryW(directory.c_str()) != 0;
}

std::wstring freshRunDirectory() {
    static std::atomic<unsigned> counter{0};
    std::array<wchar_t, MAX_PATH + 1> temp{};
    const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    std::wstring base(temp.data(), length);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    for (;;) {
        const std::wstring candidate = base + L"\\tesmarin-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(counter++);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) return candidate;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

// ---- Paths -----------------------------------------------------------------

std::wstring windowsPath(const std::string& path) {
    if (path.empty() || path.front() != '/') return win::widen(path);
    // Wine's own mapping knows the drive letters of this prefix.
    using DosName = WCHAR*(CDECL*)(const char*);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {  // borrowed module handle
        if (auto convert = reinterpret_cast<DosName>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))) {
            if (WCHAR* dos = convert(path.c_str())) {
                std::wstring result(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                return result;
            }
        }
    }
    std::wstring result = L"Z:" + win::widen(path);
    for (wchar_t& c : result)
        if (c == L'/') c = L'\\';
    return result;
}

namespace {
std::string environmentOr(const wchar_t* name, const char* fallback) {
    std::array<wchar_t, 4096> value{};
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length > 0 && length < value.size()) return win::narrow(std::wstring_view(value.data(), length));
    return fallback;
}
}  // namespace

std::wstring programPath() {
    return windowsPath(environmentOr(L"TESMARIN_E2E_PROGRAM", TESMARIN_E2E_PROGRAM));
}

std::wstring screenshotFolder() {
    return windowsPath(environmentOr(L"TESMARIN_E2E_SCREENSHOTS", TESMARIN_E2E_SCREENSHOTS));
}

// ---- Window facts ------------------------------------------------------------

std::string windowText(HWND window) { return win::narrow(wideText(window)); }

std::string className(HWND window) {
    std::array<wchar_t, 256> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return win::narrow(std::wstring_view(name.data(), length > 0 ? static_cast<size_t>(length) : 0));
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT rectInParent(HWND control) {
    RECT rect = windowRect(control);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LONG style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
LONG extendedStyle(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

std::vector<HWND> topLevelWindows(const std::function<bool(HWND)>& predicate) {
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND window : all)
        if (predicate(window)) found.push_back(window);
    return found;
}

DWORD processOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        const LRESULT copied =
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        items.push_back(win::narrow(text));
    }
    return items;
}

int comboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

std::string comboShownText(HWND combo) { return windowText(combo); }

// ---- Input -----------------------------------------------------------------

bool bringToFront(HWND window) {
    // Foreground is the system's record, set at once; the window's thread
    // activates the window and gives the focus to one of its controls later,
    // when it handles the activation. Input sent before that could land on a
    // control that loses the focus again, so wait for all three.
    // A window with controls is ready once one of them has the focus: the
    // window itself holds the focus only for a moment, before it passes it on.
    const auto ready = [window] {
        const HWND focus = focusOf(window);
        const bool hasControls = GetWindow(window, GW_CHILD) != nullptr;
        return GetForegroundWindow() == window && activeOf(window) == window &&
               (hasControls ? IsChild(window, focus) != 0 : focus == window);
    };
    if (ready()) return true;
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    return waitUntil(ready, 3s);
}

void pressKey(WORD virtualKey, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) inputs.push_back(keyInput(modifier, false));
    inputs.push_back(keyInput(virtualKey, false));
    inputs.push_back(keyInput(virtualKey, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) inputs.push_back(keyInput(*it, true));
    send(inputs);
}

void typeText(const std::string& text) {
    for (wchar_t c : win::widen(text)) {
        const SHORT scan = VkKeyScanW(c);
        std::vector<INPUT> inputs;
        if (scan == -1) {
            // No key of the layout makes this character: type it as a Unicode packet.
            INPUT down{};
            down.type = INPUT_KEYBOARD;
            down.ki.wScan = c;
            down.ki.dwFlags = KEYEVENTF_UNICODE;
            INPUT up = down;
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            inputs = {down, up};
        } else {
            const WORD vk = LOBYTE(scan);
            const bool shift = (HIBYTE(scan) & 1) != 0;
            if (shift) inputs.push_back(keyInput(VK_SHIFT, false));
            inputs.push_back(keyInput(vk, false));
            inputs.push_back(keyInput(vk, true));
            if (shift) inputs.push_back(keyInput(VK_SHIFT, true));
        }
        send(inputs);
    }
}

void clickAt(POINT screenPoint) {
    // Two clicks close in time and place make a double click, which an edit
    // box takes without taking the focus. A user clicking again a moment later
    // would not hit the same pixel; move a little off the last point instead.
    static POINT lastPoint{-1000, -1000};
    static ULONGLONG lastTime = 0;
    const ULONGLONG now = GetTickCount64();
    const int slackX = GetSystemMetrics(SM_CXDOUBLECLK);
    const int slackY = GetSystemMetrics(SM_CYDOUBLECLK);
    if (now - lastTime <= GetDoubleClickTime() + 100u && std::abs(screenPoint.x - lastPoint.x) <= slackX &&
        std::abs(screenPoint.y - lastPoint.y) <= slackY) {
        screenPoint.x += screenPoint.x >= lastPoint.x ? slackX + 2 : -(slackX + 2);
    }
    lastPoint = screenPoint;
    SetCursorPos(screenPoint.x, screenPoint.y);
    std::vector<INPUT> inputs(2);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    send(inputs);
    lastTime = GetTickCount64();
}

void clickCentre(HWND window) {
    const RECT rect = windowRect(window);
    clickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void parkMouse() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }

bool setClipboardText(const std::string& text) {
    const std::wstring wide = win::widen(text);
    ClipboardSession clipboard;
    if (!clipboard.isOpen() || !EmptyClipboard()) return false;
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    // On success the clipboard owns the memory; on failure it stays ours.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND activeOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

// ---- Screenshots -----------------------------------------------------------

bool saveScreenshot(HWND window, const std::string& fileName) {
    const RECT rect = windowRect(window);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    BorrowedDC screen(nullptr);
    win::UniqueDC memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return false;
    {
        SelectGuard select(memory.get(), bitmap.get());
        // The screen, not the window's own drawing: what a person would see.
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT))
            return false;
    }
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const auto* pixels = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3 + 0] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4 + 0];
    }
    const std::wstring folder = screenshotFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    return writeFile(folder + L"\\" + win::widen(fileName), encodePng(width, height, rgb));
}

// ---- The program -----------------------------------------------------------

Program::Program() {
    directory_ = freshRunDirectory();
    if (directory_.empty()) {
        startError_ = "cannot create a run directory";
        return;
    }
    const std::wstring source = programPath();
    const std::wstring target = directory_ + L"\\Tesmarin.exe";
    if (!CopyFileW(source.c_str(), target.c_str(), TRUE)) {
        startError_ = "cannot copy " + win::narrow(source) + " (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    std::wstring commandLine = L"\"" + target + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(target.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        startError_ = "CreateProcessW failed (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    process_.reset(info.hProcess);
    thread_.reset(info.hThread);
    processId_ = info.dwProcessId;
}

Program::~Program() {
    if (process_ && !hasExited()) {
        TerminateProcess(process_.get(), 1);
        waitForExit();
    }
    process_.reset();
    thread_.reset();
    if (!directory_.empty()) {
        const std::wstring directory = directory_;
        waitUntil([&directory] { return removeDirectory(directory); }, 3s);
    }
}

bool Program::hasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

bool Program::waitForExit(std::chrono::milliseconds timeout) const {
    return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

HWND Program::findMainWindow() const {
    const std::wstring title = win::widen("Tesmarin-查询");
    const DWORD pid = processId_;
    const auto found = topLevelWindows([&](HWND window) { return processOf(window) == pid && wideText(window) == title; });
    return found.empty() ? nullptr : found.front();
}

HWND Program::waitForMainWindow() const {
    HWND window = nullptr;
    waitUntil([&] { return (window = findMainWindow()) != nullptr || hasExited(); });
    return window;
}

std::optional<MessageBoxInfo> Program::findMessageBox() const {
    const DWORD pid = processId_;
    const auto found = topLevelWindows([pid](HWND window) {
        return processOf(window) == pid && IsWindowVisible(window) && className(window) == "#32770";
    });
    if (found.empty()) return std::nullopt;
    MessageBoxInfo box;
    box.window = found.front();
    box.caption = windowText(box.window);
    if (HWND text = GetDlgItem(box.window, 0xFFFF)) box.text = windowText(text);
    for (HWND child : childWindows(box.window)) {
        // Wine keeps the icon control of a box without icon, but empty.
        if (className(child) == "Static" && (style(child) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageW(child, STM_GETICON, 0, 0) != 0)
            box.hasIcon = true;
    }
    return box;
}

std::optional<MessageBoxInfo> Program::waitForMessageBox() const {
    std::optional<MessageBoxInfo> box;
    waitUntil([&] { return (box = findMessageBox()).has_value() || hasExited(); });
    return box;
}

bool Program::dismiss(const MessageBoxInfo& box) const {
    if (bringToFront(box.window)) {
        pressKey(VK_RETURN);
    } else {
        // Without the foreground the key would go elsewhere; the OK button takes a click message.
        SendMessageW(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
    }
    return waitUntil([&] { return !IsWindow(box.window); });
}

HWND Program::startWorking() {
    if (!started()) {
        ADD_FAILURE() << "the program did not start: " << startError_;
        return nullptr;
    }
    const auto welcome = waitForMessageBox();
    if (!welcome) {
        ADD_FAILURE() << "no welcome box appeared";
        return nullptr;
    }
    if (!dismiss(*welcome)) {
        ADD_FAILURE() << "the welcome box did not close";
        return nullptr;
    }
    HWND main = waitForMainWindow();
    if (!main || !waitUntil([main] { return IsWindowVisible(main) != 0; })) {
        ADD_FAILURE() << "the main window did not appear";
        return nullptr;
    }
    if (!bringToFront(main)) {
        ADD_FAILURE() << "the main window did not become the foreground window";
        return nullptr;
    }
    return main;
}

}  // namespace e2e
