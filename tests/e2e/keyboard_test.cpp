// The window's keys: the Tab cycle, Esc, Enter, and the menu by keyboard.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace e2e {
namespace {

using KeyboardTest = MainWindowTest;

TEST_F(KeyboardTest, TabCyclesThroughTheEnabledControls) {
    ASSERT_TRUE(waitForFocus(dynasties_));
    // 组合框2 is disabled: it is skipped both ways.
    for (HWND next : {query_, count_, dynasties_, query_}) {
        pressKey(VK_TAB);
        EXPECT_TRUE(waitForFocus(next)) << "Tab reached " << focus();
    }
    for (HWND previous : {dynasties_, count_, query_, dynasties_}) {
        pressKey(VK_TAB, {VK_SHIFT});
        EXPECT_TRUE(waitForFocus(previous)) << "Shift+Tab reached " << focus();
    }
    // A click on the disabled list neither focuses nor opens it.
    clickCentre(eras_);
    EXPECT_TRUE(noBoxAfterInput(dynasties_));
    EXPECT_FALSE(isDropped(eras_));

    // Once a dynasty is chosen, 组合框2 joins the cycle after 编辑框1.
    ASSERT_TRUE(chooseDynasty(kXiHan));
    ASSERT_TRUE(waitForFocus(dynasties_));
    for (HWND next : {query_, count_, eras_, dynasties_}) {
        pressKey(VK_TAB);
        EXPECT_TRUE(waitForFocus(next)) << "Tab reached " << focus();
    }
    for (HWND previous : {eras_, count_, query_, dynasties_}) {
        pressKey(VK_TAB, {VK_SHIFT});
        EXPECT_TRUE(waitForFocus(previous)) << "Shift+Tab reached " << focus();
    }
}

TEST_F(KeyboardTest, EnterStartsNoQueryAndKeepsTheFocus) {
    ASSERT_TRUE(chooseDynasty(kXiHan));
    ASSERT_TRUE(typeCount("3"));
    // In the count box: Enter (and F1) neither query nor move; the next
    // character still lands in the box.
    pressKey(VK_RETURN);
    pressKey(VK_F1);
    typeText("4");
    EXPECT_TRUE(waitUntil([&] { return windowText(count_) == "34"; })) << windowText(count_);
    EXPECT_EQ(focus(), count_);
    EXPECT_FALSE(program_.findMessageBox());

    // On the button: Enter does not click it; Tab then goes on from the button.
    pressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(waitForFocus(query_));
    pressKey(VK_RETURN);
    pressKey(VK_TAB);
    EXPECT_TRUE(waitForFocus(count_)) << "Enter moved the focus away from the button";
    EXPECT_FALSE(program_.findMessageBox()) << "Enter on the button started a query";
}

// Where the focus is when Esc is pressed, and whether a list is open then.
struct EscapeCase {
    const char* name;
    int tabs;       // Tab presses from 组合框1 after a dynasty is chosen (or not)
    bool chooseDynastyFirst;
    bool openList;  // F4 on the focused combo box before Esc
};

class EscapeTest : public MainWindowTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, EscClosesTheWindow) {
    const EscapeCase& c = GetParam();
    if (c.chooseDynastyFirst) {
        ASSERT_TRUE(chooseDynasty(kXiHan));
    }
    ASSERT_TRUE(waitForFocus(dynasties_));
    for (int i = 0; i < c.tabs; ++i) {
        const HWND before = focus();
        pressKey(VK_TAB);
        ASSERT_TRUE(waitUntil([&] { return focus() != before; }));
    }
    if (c.openList) {
        const HWND combo = focus();
        pressKey(VK_F4);
        ASSERT_TRUE(waitUntil([&] { return isDropped(combo); }));
    }
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(program_.waitForExit()) << "Esc did not close the window";
    EXPECT_FALSE(program_.findMessageBox());
}

INSTANTIATE_TEST_SUITE_P(
    AnyFocus, EscapeTest,
    ::testing::Values(EscapeCase{"DynastyList", 0, false, false}, EscapeCase{"QueryButton", 1, false, false},
                      EscapeCase{"CountBox", 2, false, false}, EscapeCase{"EraList", 3, true, false},
                      EscapeCase{"OpenDynastyList", 0, false, true}, EscapeCase{"OpenEraList", 3, true, true}),
    [](const ::testing::TestParamInfo<EscapeCase>& param) { return std::string(param.param.name); });

using MenuTest = MainWindowTest;

// Opens the menu "关于" with Alt and Down, goes down to the item and picks it.
void chooseMenuItem(int downs) {
    pressKey(VK_MENU);
    pressKey(VK_DOWN);
    for (int i = 0; i < downs; ++i) pressKey(VK_DOWN);
    pressKey(VK_RETURN);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(text.substr(start, end - start));
    result.push_back(text.substr(start));
    return result;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST_F(MenuTest, MenuItemsShowTheirBoxesEveryTime) {
    ASSERT_TRUE(chooseDynasty(kSui));
    ASSERT_TRUE(typeCount("12"));  // the focus is in the count box when the menu is used
    const auto itemsBefore = comboItems(eras_);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round + 1));
        chooseMenuItem(0);
        const auto notes = program_.waitForMessageBox();
        ASSERT_TRUE(notes) << "软件说明 showed no box";
        EXPECT_EQ(notes->caption, "软件说明");
        EXPECT_TRUE(notes->hasIcon);
        const auto noteLines = lines(notes->text);
        ASSERT_EQ(noteLines.size(), 3u) << notes->text;
        EXPECT_TRUE(startsWith(noteLines[0], "欢迎使用Tesmarin！")) << noteLines[0];
        EXPECT_NE(noteLines[0].find("Tesmarin 开发组"), std::string::npos) << noteLines[0];
        const std::string notesEnd =
            "限于作者水平以及信息量巨大，可能无法做到软件内容的100%正确。如果在使用过程中发现有内容错误或软件Bug，"
            "可以通过以下方式告诉作者。";
        EXPECT_TRUE(noteLines[0].size() >= notesEnd.size() &&
                    noteLines[0].compare(noteLines[0].size() - notesEnd.size(), notesEnd.size(), notesEnd) == 0)
            << noteLines[0];
        EXPECT_TRUE(startsWith(noteLines[1], "联系方式：")) << noteLines[1];
        EXPECT_NE(noteLines[1].find("example.com"), std::string::npos) << noteLines[1];
        EXPECT_EQ(noteLines[2], "感谢您的反馈！");
        if (round == 0) {
            EXPECT_TRUE(saveScreenshot(notes->window, "software-notes.png"));
        }
        ASSERT_TRUE(closeBox(*notes));
        EXPECT_TRUE(waitForFocus(count_)) << "the focus comes back to the count box";

        chooseMenuItem(1);
        const auto about = program_.waitForMessageBox();
        ASSERT_TRUE(about) << "关于本程序 showed no box";
        EXPECT_EQ(about->caption, "关于");
        EXPECT_TRUE(about->hasIcon);
        const auto aboutLines = lines(about->text);
        ASSERT_EQ(aboutLines.size(), 3u) << about->text;
        EXPECT_TRUE(startsWith(aboutLines[0], "欢迎使用Tesmarin！")) << aboutLines[0];
        EXPECT_NE(aboutLines[0].find("Tesmarin 开发组"), std::string::npos) << aboutLines[0];
        EXPECT_NE(aboutLines[0].find("example.com"), std::string::npos) << aboutLines[0];
        if (round == 0) {
            EXPECT_TRUE(saveScreenshot(about->window, "about.png"));
        }
        ASSERT_TRUE(closeBox(*about));
        EXPECT_TRUE(waitForFocus(count_));
    }
    // Nothing else changed.
    EXPECT_EQ(windowText(count_), "12");
    EXPECT_EQ(comboItems(eras_), itemsBefore);
    EXPECT_EQ(comboShownText(dynasties_), "隋");
}

}  // namespace
}  // namespace e2e
