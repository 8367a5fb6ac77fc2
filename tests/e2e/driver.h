// A small driver that runs the real program as a user would: it starts
// Tesmarin.exe in a fresh copy directory, finds its windows, reads their
// texts and geometry, answers message boxes and sends keyboard and mouse input.
//
// Every wait polls with a timeout and reports whether the condition came true;
// the tests assert on that result, never on how long anything took.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/win/handle.h"

namespace e2e {

using namespace std::chrono_literals;

// Long enough for a slow Wine start-up, short enough for a failing test to end.
inline constexpr std::chrono::milliseconds kWaitTimeout = 10s;

// Polls `condition` until it holds or `timeout` passes; true when it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kWaitTimeout);

// ---- Paths -----------------------------------------------------------------

// A Unix path (as CMake knows it) as a path that Windows functions accept under
// Wine; Windows paths pass unchanged.
std::wstring windowsPath(const std::string& path);
// The program under test and the folder for screenshots, both set by the build.
std::wstring programPath();
std::wstring screenshotFolder();

// ---- Window facts (all texts UTF-8) ------------------------------------------

std::string windowText(HWND window);
std::string className(HWND window);
RECT windowRect(HWND window);          // screen coordinates, outer size
RECT rectInParent(HWND control);       // in the parent's client coordinates
LONG style(HWND window);
LONG extendedStyle(HWND window);
DWORD processOf(HWND window);
// Top-level windows of the desktop, hidden ones included, in z-order.
std::vector<HWND> topLevelWindows(const std::function<bool(HWND)>& predicate);

// Items of a combo box, in list order, and the text the closed box shows.
std::vector<std::string> comboItems(HWND combo);
int comboSelection(HWND combo);
std::string comboShownText(HWND combo);

// ---- Input -----------------------------------------------------------------
//
// Real input through SendInput. Under Wine in Xvfb without a window manager
// (frames drawn by Wine) this works as on Windows once the target window is
// the foreground window: keys reach the focused control of the foreground
// thread, the dialog and menu keys (Tab, Alt, F4, Enter) behave as usual, and
// clicks go to the window under the pointer. No messages are posted to the
// program's windows.

// Makes `window` the foreground window (keyboard input goes to its thread's
// focus); true when it became foreground.
bool bringToFront(HWND window);
// One key press and release, with modifier keys held around it.
void pressKey(WORD virtualKey, std::initializer_list<WORD> modifiers = {});
// Types text through the keys that produce its characters.
void typeText(const std::string& text);
// A left click at a point in screen coordinates.
void clickAt(POINT screenPoint);
void clickCentre(HWND window);
// Moves the mouse pointer to the screen's bottom-right corner, away from any window.
void parkMouse();
// Puts text on the clipboard, as a copy elsewhere would.
bool setClipboardText(const std::string& text);

// The control with the keyboard focus and the active window of the thread
// that owns `window`.
HWND focusOf(HWND window);
HWND activeOf(HWND window);

// ---- Screenshots -----------------------------------------------------------

// Saves the screen area of `window` (with whatever lies on top) as a PNG file
// in the screenshot folder; true when written.
bool saveScreenshot(HWND window, const std::string& fileName);

// ---- The program -----------------------------------------------------------

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool hasIcon = false;
};

// One run of Tesmarin.exe from a temporary directory of its own. The
// destructor ends the process if it still runs and removes the directory.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // False when the program could not be started (see startError()).
    bool started() const { return static_cast<bool>(process_); }
    const std::string& startError() const { return startError_; }
    DWORD processId() const { return processId_; }
    const std::wstring& runDirectory() const { return directory_; }

    bool hasExited() const;
    bool waitForExit(std::chrono::milliseconds timeout = kWaitTimeout) const;

    // The top-level window titled "Tesmarin-查询", visible or not.
    HWND findMainWindow() const;
    HWND waitForMainWindow() const;
    // A visible message box of this process, if one is up.
    std::optional<MessageBoxInfo> findMessageBox() const;
    std::optional<MessageBoxInfo> waitForMessageBox() const;
    // Presses Enter in the box (its OK button) and waits until it is gone.
    bool dismiss(const MessageBoxInfo& box) const;

    // Starts the program, closes the welcome box, and waits until the main
    // window is visible and active: the state in which a user starts working.
    // Returns the main window, or null (with the reason in ADD_FAILURE).
    HWND startWorking();

private:
    std::wstring directory_;
    win::UniqueHandle process_;
    win::UniqueHandle thread_;
    DWORD processId_ = 0;
    std::string startError_;
};

}  // namespace e2e
