// Start-up, the window's frame and placement, and the controls as the user
// finds them before touching anything.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace e2e {
namespace {

constexpr char kWelcomeText[] =
    "欢迎使用Tesmarin！如果在使用过程中发现有内容错误或软件Bug，可以通过关于信息中的联系方式反馈给作者。感谢您的反馈！";

TEST(StartUp, WelcomeBoxComesBeforeTheWindowIsShown) {
    Program program;
    ASSERT_TRUE(program.started()) << program.startError();

    const auto welcome = program.waitForMessageBox();
    ASSERT_TRUE(welcome);
    EXPECT_EQ(welcome->caption, "欢迎");
    EXPECT_EQ(welcome->text, kWelcomeText);
    EXPECT_TRUE(welcome->hasIcon);
    EXPECT_EQ(GetWindow(welcome->window, GW_OWNER), nullptr) << "message boxes have no owner window";

    // The skin start-up has run before the greeting: the library is in place.
    EXPECT_NE(GetFileAttributesW((program.runDirectory() + L"\\SkinH_EL.dll").c_str()), INVALID_FILE_ATTRIBUTES);

    // While the box is up the window already exists, with its controls, but hidden.
    HWND main = program.findMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_NE(GetDlgItem(main, ui::kDynastyComboId), nullptr);
    EXPECT_NE(GetDlgItem(main, ui::kEraLabelId), nullptr);
    EXPECT_TRUE(saveScreenshot(welcome->window, "welcome.png"));

    ASSERT_TRUE(program.dismiss(*welcome));
    ASSERT_TRUE(waitUntil([main] { return IsWindowVisible(main) != 0; }));
    EXPECT_FALSE(program.findMessageBox()) << "only one box at start";
    EXPECT_TRUE(waitUntil([main] { return focusOf(main) == GetDlgItem(main, ui::kDynastyComboId); }))
        << "the focus starts in 组合框1";
}

using WindowLayoutTest = MainWindowTest;

TEST_F(WindowLayoutTest, FrameSizeAndPlacement) {
    EXPECT_EQ(windowText(main_), "Tesmarin-查询");
    EXPECT_EQ(className(main_), win::narrow(ui::kMainWindowClass));

    const RECT outer = windowRect(main_);
    EXPECT_EQ(outer.right - outer.left, 320);
    EXPECT_EQ(outer.bottom - outer.top, 166);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 320) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 166) / 2);

    // Title bar with the window menu and the close button only; fixed frame.
    const LONG s = style(main_);
    EXPECT_EQ(s & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(s & WS_SYSMENU);
    EXPECT_FALSE(s & WS_THICKFRAME) << "the window can be resized";
    EXPECT_FALSE(s & WS_MINIMIZEBOX);
    EXPECT_FALSE(s & WS_MAXIMIZEBOX);
    EXPECT_FALSE(extendedStyle(main_) & WS_EX_TOPMOST);
    EXPECT_FALSE(extendedStyle(main_) & WS_EX_TOOLWINDOW) << "the window has a taskbar button";
    EXPECT_EQ(GetWindow(main_, GW_OWNER), nullptr);
    // Icon and menu items belong to the program's process: Wine answers for
    // neither across processes. The screenshot shows them; the menu tests
    // choose both items by keyboard.
    EXPECT_NE(GetMenu(main_), nullptr) << "the window has a menu bar";

    // The frame test answers "border" or "caption", never a sizing edge.
    const RECT r = windowRect(main_);
    const LRESULT rightEdge =
        SendMessageW(main_, WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, (r.top + r.bottom) / 2));
    const LRESULT bottomRight = SendMessageW(main_, WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, r.bottom - 1));
    EXPECT_NE(rightEdge, HTRIGHT);
    EXPECT_NE(bottomRight, HTBOTTOMRIGHT);
    // Dragging inside the client area does not move the window.
    POINT inside{285, 45};
    ClientToScreen(main_, &inside);
    EXPECT_EQ(SendMessageW(main_, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);

    EXPECT_TRUE(saveScreenshot(main_, "main-window-start.png"));
}

struct ControlAtStart {
    int id;
    const char* name;
    int left, top, width, height;  // height -1: the closed combo box follows its font
    const char* text;
    bool visible, enabled, tabStop;
};

TEST_F(WindowLayoutTest, ControlsAtStart) {
    const ControlAtStart expected[] = {
        {ui::kHintLabelId, "标签2", 8, 87, 152, 24, "公元前用“-”（负）号表示", true, true, false},
        {ui::kYearLabelId, "标签1", 115, 57, 20, 24, "年", true, true, false},
        {ui::kCountEditId, "编辑框1", 42, 57, 64, 24, "", true, true, true},
        {ui::kQueryButtonId, "按钮1", 174, 59, 96, 23, "查询", true, true, true},
        {ui::kDynastyComboId, "组合框1", 40, 11, 96, -1, "-请选择朝代-", true, true, true},
        {ui::kEraComboId, "组合框2", 173, 11, 96, -1, kEraPlaceholder, true, false, true},
        {ui::kEraLabelId, "标签3", 9, 57, 48, 24, "", false, true, false},
    };
    for (const auto& c : expected) {
        SCOPED_TRACE(c.name);
        HWND control = GetDlgItem(main_, c.id);
        ASSERT_NE(control, nullptr);
        const RECT rect = rectInParent(control);
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right - rect.left, c.width);
        if (c.height >= 0) {
            EXPECT_EQ(rect.bottom - rect.top, c.height);
        }
        EXPECT_EQ(windowText(control), c.text);
        EXPECT_EQ(IsWindowVisible(control) != 0, c.visible);
        EXPECT_EQ(IsWindowEnabled(control) != 0, c.enabled);
        EXPECT_EQ((style(control) & WS_TABSTOP) != 0, c.tabStop);
    }

    // Stacking order, topmost first, as in the table above.
    std::vector<int> order;
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        for (const auto& c : expected)
            if (c.id == id) order.push_back(id);
    }
    std::vector<int> expectedOrder;
    for (const auto& c : expected) expectedOrder.push_back(c.id);
    EXPECT_EQ(order, expectedOrder);

    // The lists: twelve fixed items and the era placeholder, item 0 selected.
    EXPECT_EQ(comboItems(dynasties_), kDynastyItems);
    EXPECT_EQ(comboSelection(dynasties_), 0);
    EXPECT_EQ(comboItems(eras_), std::vector<std::string>{kEraPlaceholder});
    EXPECT_EQ(comboSelection(eras_), 0);
    EXPECT_EQ((style(dynasties_) & 0x3), CBS_DROPDOWNLIST) << "a list the user can only choose from";
    EXPECT_EQ((style(eras_) & 0x3), CBS_DROPDOWNLIST);

    // The count box: empty, at most four characters, single line, sunken edge.
    EXPECT_EQ(SendMessageW(count_, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_FALSE(style(count_) & ES_MULTILINE);
    EXPECT_TRUE(extendedStyle(count_) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(style(count_) & ES_NOHIDESEL) << "the selection is hidden without the focus";
    EXPECT_FALSE(style(count_) & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_FALSE(style(query_) & BS_DEFPUSHBUTTON) << "there is no default button";
}

TEST_F(WindowLayoutTest, OpenedListIsHundredSixtyPixelsWithRowsOnePixelTallerThanTheFont) {
    // The font the combo boxes use, made here the same way: its natural row
    // height plus one is the height of a list row.
    LOGFONTW face{};
    face.lfHeight = -12;
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = PROOF_QUALITY;
    wcscpy_s(face.lfFaceName, win::widen("微软雅黑").c_str());
    win::UniqueFont font(CreateFontIndirectW(&face));
    ASSERT_TRUE(font);
    TEXTMETRICW metrics{};
    {
        win::UniqueDC dc(CreateCompatibleDC(nullptr));
        const HGDIOBJ old = SelectObject(dc.get(), font.get());
        GetTextMetricsW(dc.get(), &metrics);
        SelectObject(dc.get(), old);
    }
    EXPECT_EQ(SendMessageW(dynasties_, CB_GETITEMHEIGHT, 0, 0), metrics.tmHeight + 1);

    ASSERT_TRUE(openList(dynasties_));
    HWND listWindow = openListOf(dynasties_);
    ASSERT_NE(listWindow, nullptr);
    const RECT box = windowRect(dynasties_);
    const RECT list = windowRect(listWindow);
    EXPECT_EQ(list.top, box.bottom) << "the list drops down right below the box";
    EXPECT_EQ(list.bottom - box.top, 160);
    EXPECT_TRUE(saveScreenshot(main_, "dynasty-list-open.png"));
    // A click on an empty spot of the window closes the list without a pick.
    POINT empty{285, 45};
    ClientToScreen(main_, &empty);
    clickAt(empty);
    EXPECT_TRUE(waitUntil([&] { return !isDropped(dynasties_); }));
    EXPECT_FALSE(IsWindowEnabled(eras_)) << "closing the list without a pick raises no event";
}

}  // namespace
}  // namespace e2e
