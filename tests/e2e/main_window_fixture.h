// The common ground of the end-to-end tests: a fresh run of the program with
// the welcome box closed, the seven controls found by their ids, and the
// steps a user takes (choose in a list, type a count, press the button).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/control_ids.h"
#include "ui/win/text.h"

namespace e2e {

// Texts of the window as the user sees them.
inline const std::vector<std::string> kDynastyItems{"-请选择朝代-", "西汉", "新（王莽）", "东汉", "西晋", "隋",
                                                    "唐",          "北宋", "南宋",       "元",   "明",   "清"};
inline constexpr char kEraPlaceholder[] = "-请选择年号-";
inline constexpr char kDefaultCaption[] = "信息：";
inline constexpr char kAskForYear[] = "请输入您要查询的年份！";
inline constexpr char kAskForDynasty[] = "请选择朝代！";

// Dynasty positions in 组合框1.
enum Dynasty : int {
    kPlaceholder = 0, kXiHan = 1, kXin = 2, kDongHan = 3, kXiJin = 4, kSui = 5, kTang = 6,
    kBeiSong = 7, kNanSong = 8, kYuan = 9, kMing = 10, kQing = 11,
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An opened list highlights the row under the mouse pointer; keep the
        // pointer away so that the keyboard alone moves the highlight.
        parkMouse();
        main_ = program_.startWorking();
        ASSERT_NE(main_, nullptr);
        dynasties_ = GetDlgItem(main_, ui::kDynastyComboId);
        eras_ = GetDlgItem(main_, ui::kEraComboId);
        count_ = GetDlgItem(main_, ui::kCountEditId);
        query_ = GetDlgItem(main_, ui::kQueryButtonId);
        yearLabel_ = GetDlgItem(main_, ui::kYearLabelId);
        hintLabel_ = GetDlgItem(main_, ui::kHintLabelId);
        eraLabel_ = GetDlgItem(main_, ui::kEraLabelId);
        for (HWND control : {dynasties_, eras_, count_, query_, yearLabel_, hintLabel_, eraLabel_})
            ASSERT_NE(control, nullptr) << "a control of the main window is missing";
    }

    HWND focus() const { return focusOf(main_); }
    bool waitForFocus(HWND control) const {
        return waitUntil([&] { return focusOf(main_) == control; });
    }
    static bool isDropped(HWND combo) { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }

    // The visible drop-down list window of a combo box of the program.
    HWND openListOf(HWND combo) const {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(combo, &info) && info.hwndList && IsWindowVisible(info.hwndList)) return info.hwndList;
        const DWORD pid = program_.processId();
        const auto lists = topLevelWindows([pid](HWND window) {
            return processOf(window) == pid && IsWindowVisible(window) && className(window) == "ComboLBox";
        });
        return lists.size() == 1 ? lists.front() : nullptr;
    }

    // Opens a combo box's list: F4 when the box has the focus, a click otherwise.
    ::testing::AssertionResult openList(HWND combo) {
        if (!bringToFront(main_)) return ::testing::AssertionFailure() << "main window not in front";
        if (focus() == combo) {
            parkMouse();
            pressKey(VK_F4);
        } else {
            clickCentre(combo);
        }
        if (!waitUntil([&] { return isDropped(combo); })) return ::testing::AssertionFailure() << "list did not open";
        return ::testing::AssertionSuccess();
    }

    // Picks the item at `position` in an open list with the arrow keys and Enter.
    ::testing::AssertionResult pickInOpenList(HWND combo, int position) {
        const int current = comboSelection(combo);
        const int steps = position - (current < 0 ? 0 : current);
        for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) pressKey(steps < 0 ? VK_UP : VK_DOWN);
        pressKey(VK_RETURN);
        if (!waitUntil([&] { return !isDropped(combo); })) return ::testing::AssertionFailure() << "list did not close";
        if (comboSelection(combo) != position)
            return ::testing::AssertionFailure() << "picked " << comboSelection(combo) << " instead of " << position;
        return ::testing::AssertionSuccess();
    }

    // Chooses a dynasty; waits until the era list shows that dynasty's first
    // era (or, for the placeholder, until the warning box is up).
    ::testing::AssertionResult chooseDynasty(int position) {
        if (auto opened = openList(dynasties_); !opened) return opened;
        if (auto picked = pickInOpenList(dynasties_, position); !picked) return picked;
        if (position == kPlaceholder) return ::testing::AssertionSuccess();
        if (!waitUntil([&] { return IsWindowEnabled(eras_) && comboSelection(eras_) == 0 &&
                                    comboShownText(eras_) != kEraPlaceholder; }))
            return ::testing::AssertionFailure() << "the era list was not loaded";
        return ::testing::AssertionSuccess();
    }

    // Chooses an era; waits until 标签3 shows it.
    ::testing::AssertionResult chooseEra(int position) {
        if (auto opened = openList(eras_); !opened) return opened;
        if (auto picked = pickInOpenList(eras_, position); !picked) return picked;
        const std::string era = comboShownText(eras_);
        if (!waitUntil([&] { return IsWindowVisible(eraLabel_) && windowText(eraLabel_) == era; }))
            return ::testing::AssertionFailure() << "标签3 does not show " << era;
        return ::testing::AssertionSuccess();
    }

    // Clicks into the count box, clears it and types `text`; waits until the
    // box shows `shown` (what the box keeps of the typed text).
    ::testing::AssertionResult typeCount(const std::string& text, const std::string& shown) {
        if (auto cleared = clearCount(); !cleared) return cleared;
        typeText(text);
        if (!waitUntil([&] { return windowText(count_) == shown; }))
            return ::testing::AssertionFailure() << "count box shows \"" << windowText(count_) << "\", not \"" << shown
                                                 << "\"";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult typeCount(const std::string& text) { return typeCount(text, text); }

    ::testing::AssertionResult clearCount() {
        if (!bringToFront(main_)) return ::testing::AssertionFailure() << "main window not in front";
        if (focus() != count_) clickCentre(count_);
        if (!waitForFocus(count_)) return ::testing::AssertionFailure() << "count box did not take the focus";
        pressKey(VK_END);
        pressKey(VK_HOME, {VK_SHIFT});
        pressKey(VK_DELETE);
        if (!waitUntil([&] { return windowText(count_).empty(); }))
            return ::testing::AssertionFailure() << "count box not cleared";
        return ::testing::AssertionSuccess();
    }

    // Presses Tab and waits until the focus has left `from`: everything typed
    // before it has then been handled.
    ::testing::AssertionResult tabAwayFrom(HWND from) {
        pressKey(VK_TAB);
        if (!waitUntil([&] { return focus() != from && focus() != nullptr; }))
            return ::testing::AssertionFailure() << "Tab did not move the focus";
        return ::testing::AssertionSuccess();
    }

    // Clicks 按钮1 and returns the box the click brought up.
    std::optional<MessageBoxInfo> clickQuery() {
        if (!bringToFront(main_)) return std::nullopt;
        clickCentre(query_);
        return program_.waitForMessageBox();
    }

    // Closes a box and waits until the main window is active again with a
    // control focused; should the activation not come back by itself, the
    // main window is brought to the front as a user clicking on it would.
    ::testing::AssertionResult closeBox(const MessageBoxInfo& box) {
        if (!program_.dismiss(box)) return ::testing::AssertionFailure() << "box did not close";
        if (!bringToFront(main_)) return ::testing::AssertionFailure() << "main window not in front";
        return ::testing::AssertionSuccess();
    }

    // Checks that no box is up once the input sent so far has been handled.
    // `from` is the control that has the focus once that input is handled;
    // Tab must then move the focus on inside the window, which it cannot
    // while a modal box holds the input.
    ::testing::AssertionResult noBoxAfterInput(HWND from) {
        if (!waitForFocus(from)) return ::testing::AssertionFailure() << "the focus is not where expected";
        pressKey(VK_TAB);
        const bool moved = waitUntil(
            [&] { return focus() != from && IsChild(main_, focus()) && !program_.findMessageBox(); }, 3s);
        if (auto box = program_.findMessageBox())
            return ::testing::AssertionFailure() << "unexpected box \"" << box->caption << "\": " << box->text;
        if (!moved) return ::testing::AssertionFailure() << "the window did not take the Tab";
        return ::testing::AssertionSuccess();
    }

    Program program_;
    HWND main_ = nullptr;
    HWND dynasties_ = nullptr;  // 组合框1
    HWND eras_ = nullptr;       // 组合框2
    HWND count_ = nullptr;      // 编辑框1
    HWND query_ = nullptr;      // 按钮1
    HWND yearLabel_ = nullptr;  // 标签1 "年"
    HWND hintLabel_ = nullptr;  // 标签2
    HWND eraLabel_ = nullptr;   // 标签3
};

}  // namespace e2e
