// The program's one window: menu, seven controls, the handlers of their
// events and the keys the window handles itself (Tab, Shift+Tab, Esc).
#pragma once

#include "ui/win/handle.h"

#include <windows.h>

#include <vector>

namespace ui {

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, with its menu and controls. False when the
    // window or one of its controls cannot be created.
    bool create(HINSTANCE instance);
    // The created event: runs while the window is still hidden.
    void onMainWindowCreated();
    // Shows the window centred on the primary screen; activating it gives the
    // focus to the first control of the focus cycle.
    void showCentred();
    // Handles the window's own keys for a message taken from the queue; true
    // when the message is used up.
    bool preTranslateMessage(const MSG& message);

private:
    struct Font {
        int height;
        int weight;
        win::UniqueFont handle;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool onCreate();
    void onCommand(int id, int code);
    void onListItemSelected(int comboId);
    void onActivate(bool active);
    LRESULT onCtlColorStatic(HDC dc, HWND control);

    // Handlers of the controls' and the menu's events.
    void onDynastySelected();
    void onEraSelected();
    void onQueryClicked();
    void onSoftwareNotes();
    void onAboutProgram();

    HWND control(int id) const { return GetDlgItem(window_, id); }
    HFONT font(int height, int weight);
    void moveFocus(bool backward);
    void restoreFocus();

    HINSTANCE instance_ = nullptr;
    // Destroyed by its own WM_CLOSE (close button, Esc); the system owns it.
    HWND window_ = nullptr;
    // The control that had the focus when the window was last deactivated (borrowed).
    HWND lastFocus_ = nullptr;
    std::vector<Font> fonts_;
};

// Creates the window, runs its created event, shows it and runs the message
// loop until the window is closed. Returns the process exit code.
int runMainWindow(HINSTANCE instance);

}  // namespace ui
