#include "ui/main_window.h"

#include "catalogue/era_catalogue.h"
#include "catalogue/year_reckoning.h"
#include "resource_ids.h"
#include "ui/control_ids.h"
#include "ui/controls.h"
#include "ui/count_box.h"
#include "ui/focus_cycle.h"
#include "ui/label.h"
#include "ui/maker_info.h"
#include "ui/message_box.h"
#include "ui/win/text.h"

#ifdef TESMARIN_HAS_SKIN
#include "skin/skin_startup.h"
#endif

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

namespace {

constexpr int kWindowWidth = 320;   // outer size: frame, title and menu bar included
constexpr int kWindowHeight = 166;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed frame, no min/max box

// Posted on CBN_SELENDOK so that the handler runs after the combo box has
// finished the pick and reads the new selection. wParam: the combo box's id.
constexpr UINT kListItemSelected = WM_APP + 1;

// Left edges of the count box and its "年" label once an era is shown in
// front of them.
constexpr int kCountBoxShiftedLeft = 66;
constexpr int kYearLabelShiftedLeft = 139;

constexpr std::string_view kEraPlaceholder = "-请选择年号-";

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    DWORD style;  // besides WS_CHILD | WS_CLIPSIBLINGS
    DWORD exStyle;
    int left, top, width, height;
    int fontHeight;  // em height in pixels
    int fontWeight;
    std::string_view text;
};

constexpr DWORD kComboStyle = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT;

// The controls in stacking order, topmost first. A combo box's height is the
// closed box and its opened list together.
constexpr ControlLayout kControls[] = {
    {kHintLabelId, kLabelClass, WS_VISIBLE, 0, 8, 87, 152, 24, 12, FW_NORMAL, "公元前用“-”（负）号表示"},
    {kYearLabelId, kLabelClass, WS_VISIBLE, 0, 115, 57, 20, 24, 14, FW_BOLD, "年"},
    {kCountEditId, L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     42, 57, 64, 24, 13, FW_NORMAL, ""},
    {kQueryButtonId, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0,
     174, 59, 96, 23, 12, FW_NORMAL, "查询"},
    {kDynastyComboId, L"COMBOBOX", WS_VISIBLE | kComboStyle, 0, 40, 11, 96, 160, 12, FW_NORMAL, ""},
    {kEraComboId, L"COMBOBOX", WS_VISIBLE | WS_DISABLED | kComboStyle, 0, 173, 11, 96, 160, 12, FW_NORMAL, ""},
    {kEraLabelId, kLabelClass, SS_RIGHT, 0, 9, 57, 48, 24, 12, FW_NORMAL, ""},
};

// Tab moves forward along this cycle, Shift+Tab backward.
constexpr std::array<int, 4> kFocusCycle{kEraComboId, kDynastyComboId, kQueryButtonId, kCountEditId};

constexpr wchar_t kFontFace[] = L"微软雅黑";

constexpr std::string_view kWelcomeText =
    "欢迎使用Tesmarin！如果在使用过程中发现有内容错误或软件Bug，可以通过关于信息中的联系方式反馈给作者。感谢您的反馈！";

std::string contactDetails() {
    std::string text;
    text += "即时通讯：";
    text += kMakerMessengerNumber;
    text += "，电子邮件：";
    text += kMakerEmail;
    return text;
}

bool isComboBox(const ControlLayout& control) { return control.windowClass == std::wstring_view(L"COMBOBOX"); }

// Combo rows one pixel taller than the font's own row, and the box and its
// list together as tall as the table says (setting the font changes the
// closed box's height, so the size is set again afterwards).
void finishCombo(HWND combo, const ControlLayout& control) {
    const LRESULT natural = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    if (natural > 0) {
        SendMessageW(combo, CB_SETITEMHEIGHT, 0, natural + 1);
        // Wine passes CB_SETITEMHEIGHT on to the list only for owner-drawn
        // combo boxes; then set the row height on the list box itself.
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof(parts);
        if (SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0) != natural + 1 && GetComboBoxInfo(combo, &parts)) {
            SendMessageW(parts.hwndList, LB_SETITEMHEIGHT, 0, natural + 1);  // the list box is borrowed
        }
    }
    SetWindowPos(combo, nullptr, 0, 0, control.width, control.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool MainWindow::create(HINSTANCE instance) {
    instance_ = instance;
    if (!registerLabelClass(instance)) return false;

    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = windowProc;
    cls.hInstance = instance;
    // Icons and cursor loaded by LoadIcon/LoadCursor are shared: borrowed.
    cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN));
    cls.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&cls)) return false;

    win::UniqueMenu menuBar(CreateMenu());
    win::UniqueMenu aboutMenu(CreatePopupMenu());
    if (!menuBar || !aboutMenu) return false;
    AppendMenuW(aboutMenu.get(), MF_STRING, kSoftwareNotesMenuId, L"软件说明");
    AppendMenuW(aboutMenu.get(), MF_STRING, kAboutProgramMenuId, L"关于本程序");
    if (!AppendMenuW(menuBar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(aboutMenu.get()), L"关于")) return false;
    aboutMenu.release();  // now part of the menu bar

    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    HWND window = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, kWindowStyle, left, top, kWindowWidth,
                                  kWindowHeight, nullptr, menuBar.get(), instance, this);
    if (!window) return false;  // WM_NCDESTROY has reset window_ if the window existed briefly
    menuBar.release();  // destroyed with the window
    return true;
}

void MainWindow::showCentred() {
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    SetWindowPos(window_, nullptr, left, top, kWindowWidth, kWindowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->lastFocus_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may leave a window procedure: a handler that fails just
    // ends, and the message gets its default treatment; a failed WM_CREATE
    // makes the creation fail.
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate() ? 0 : -1;  // -1 makes CreateWindowEx fail
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kListItemSelected:
        onListItemSelected(static_cast<int>(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool MainWindow::onCreate() {
    for (const ControlLayout& control : kControls) {
        HWND child = CreateWindowExW(control.exStyle, control.windowClass, win::widen(control.text).c_str(),
                                     WS_CHILD | WS_CLIPSIBLINGS | control.style, control.left, control.top, control.width,
                                     control.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                     instance_, nullptr);
        if (!child) return false;
        // Place each new control below the ones before it, so that the
        // table's order is the stacking order.
        SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (control.id == kCountEditId && !makeCountBox(child)) return false;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.fontHeight, control.fontWeight)), FALSE);
        if (isComboBox(control)) finishCombo(child, control);
    }

    HWND dynasties = control(kDynastyComboId);
    appendComboItem(dynasties, catalogue::kDynastyPlaceholder);
    for (int position = 1; position <= catalogue::dynastyCount(); ++position) {
        appendComboItem(dynasties, catalogue::dynastyName(position));
    }
    setComboSelection(dynasties, 0);
    HWND eras = control(kEraComboId);
    appendComboItem(eras, kEraPlaceholder);
    setComboSelection(eras, 0);
    return true;
}

HFONT MainWindow::font(int height, int weight) {
    for (const Font& known : fonts_) {
        if (known.height == height && known.weight == weight && known.handle) return known.handle.get();
    }
    LOGFONTW description{};
    description.lfHeight = -height;  // negative: the em height, not the cell height
    description.lfWeight = weight;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH;
    static_assert(std::size(kFontFace) <= LF_FACESIZE);
    std::copy(std::begin(kFontFace), std::end(kFontFace), description.lfFaceName);
    win::UniqueFont created(CreateFontIndirectW(&description));
    if (!created) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // stock object: borrowed
    HFONT handle = created.get();
    fonts_.push_back(Font{height, weight, std::move(created)});
    return handle;
}

void MainWindow::onCommand(int id, int code) {
    switch (id) {
    case kSoftwareNotesMenuId:
        onSoftwareNotes();
        break;
    case kAboutProgramMenuId:
        onAboutProgram();
        break;
    case kDynastyComboId:
    case kEraComboId:
        if (code == CBN_SELENDOK) PostMessageW(window_, kListItemSelected, static_cast<WPARAM>(id), 0);
        break;
    case kQueryButtonId:
        if (code == BN_CLICKED) onQueryClicked();
        break;
    default:
        break;
    }
}

void MainWindow::onListItemSelected(int comboId) {
    if (comboId == kDynastyComboId) onDynastySelected();
    if (comboId == kEraComboId) onEraSelected();
}

LRESULT MainWindow::onCtlColorStatic(HDC dc, HWND control) {
    // The labels ask here for their background, as static controls do, so
    // that the face colour is decided in one place.
    wchar_t className[32] = {};
    GetClassNameW(control, className, static_cast<int>(std::size(className)));
    if (std::wstring_view(className) != kLabelClass) {
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    }
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));  // system brush: borrowed
}

void MainWindow::onActivate(bool active) {
    if (!active) {
        // Remember the focused control so that it gets the focus back when a
        // message box closes or the user comes back to the window.
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    restoreFocus();
}

void MainWindow::restoreFocus() {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
        return;
    }
    std::array<bool, kFocusCycle.size()> available{};
    for (std::size_t i = 0; i < kFocusCycle.size(); ++i) {
        HWND candidate = control(kFocusCycle[i]);
        available[i] = IsWindowVisible(candidate) && IsWindowEnabled(candidate);
    }
    if (const auto first = nextFocusPosition(available, std::nullopt, false)) SetFocus(control(kFocusCycle[*first]));
}

void MainWindow::moveFocus(bool backward) {
    HWND focus = GetFocus();
    std::array<bool, kFocusCycle.size()> available{};
    std::optional<std::size_t> current;
    for (std::size_t i = 0; i < kFocusCycle.size(); ++i) {
        HWND candidate = control(kFocusCycle[i]);
        available[i] = IsWindowVisible(candidate) && IsWindowEnabled(candidate);
        if (focus && (focus == candidate || IsChild(candidate, focus))) current = i;
    }
    if (const auto next = nextFocusPosition(available, current, backward)) SetFocus(control(kFocusCycle[*next]));
}

bool MainWindow::preTranslateMessage(const MSG& message) {
    if (message.message != WM_KEYDOWN || !window_) return false;
    // Keys for the window itself, any of its controls, or a list that a
    // combo box of it has opened (owned by the combo box).
    HWND target = message.hwnd;
    const bool ours = target == window_ || IsChild(window_, target) || GetAncestor(target, GA_ROOTOWNER) == window_;
    if (!ours) return false;
    switch (message.wParam) {
    case VK_ESCAPE:
        // Taken before any control sees it: an open combo-box list would
        // otherwise keep Esc for closing itself.
        SendMessageW(window_, WM_CLOSE, 0, 0);
        return true;
    case VK_TAB:
        moveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    default:
        return false;
    }
}

void MainWindow::onMainWindowCreated() {
#ifdef TESMARIN_HAS_SKIN
    skin::applyBuiltInSkin(skin::kStartupSkinNumber);
    skin::enableSkinAero();
#endif
    showMessage(kWelcomeText, MB_ICONINFORMATION, "欢迎");
}

void MainWindow::onDynastySelected() {
    HWND eras = control(kEraComboId);
    EnableWindow(eras, TRUE);
    const int dynasty = comboSelection(control(kDynastyComboId));
    if (dynasty == 0) showMessage("请选择朝代！", MB_ICONWARNING);
    if (dynasty >= 1 && dynasty <= catalogue::dynastyCount()) {
        clearCombo(eras);
        for (std::string_view name : catalogue::eraNames(dynasty)) appendComboItem(eras, name);
        setComboSelection(eras, 0);
    }
    // Set after the reload, so that the label in front of the count box names
    // the era that the list shows and the query computes with.
    setWindowText(control(kEraLabelId), comboShownText(eras));
}

void MainWindow::onEraSelected() {
    HWND eraLabel = control(kEraLabelId);
    ShowWindow(eraLabel, SW_SHOWNA);
    setLeft(control(kCountEditId), kCountBoxShiftedLeft);
    setLeft(control(kYearLabelId), kYearLabelShiftedLeft);
    setWindowText(eraLabel, comboShownText(control(kEraComboId)));
}

void MainWindow::onQueryClicked() {
    const std::string count = windowText(control(kCountEditId));
    if (count.empty()) {
        showMessage("请输入您要查询的年份！");
        return;
    }
    HWND eras = control(kEraComboId);
    const std::optional<int> start = catalogue::startYear(comboSelection(control(kDynastyComboId)), comboSelection(eras));
    if (!start) return;
    const double year = catalogue::reckonYear(*start, catalogue::parseYearCount(count));
    showMessage(catalogue::composeResultText(comboShownText(eras), count, catalogue::formatYearNumber(year)));
}

void MainWindow::onSoftwareNotes() {
    std::string text = "欢迎使用Tesmarin！本软件由";
    text += kMakerName;
    text += "制作。限于作者水平以及信息量巨大，可能无法做到软件内容的100%正确。"
            "如果在使用过程中发现有内容错误或软件Bug，可以通过以下方式告诉作者。\r\n";
    text += "联系方式：";
    text += contactDetails();
    text += "\r\n感谢您的反馈！";
    showMessage(text, MB_ICONINFORMATION, "软件说明");
}

void MainWindow::onAboutProgram() {
    std::string text = "欢迎使用Tesmarin！作者：";
    text += kMakerName;
    text += "，";
    text += contactDetails();
    text += "\r\n本程序的著作权归";
    text += kMakerName;
    text += "所有，保留一切权利。\r\n未经";
    text += kMakerName;
    text += "许可，不得将本程序用于商业用途。";
    showMessage(text, MB_ICONINFORMATION, "关于");
}

int runMainWindow(HINSTANCE instance) {
    MainWindow window;
    if (!window.create(instance)) {
        showMessage("加载启动窗口失败！", MB_ICONERROR, "错误");
        return -1;
    }
    window.onMainWindowCreated();
    window.showCentred();

    MSG message{};
    // GetMessage gives 0 for WM_QUIT and -1 on failure; both end the loop.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.preTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace ui
