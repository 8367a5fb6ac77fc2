// The count box as the program creates it, in a hidden window of the test's
// own: the typing filter, the four-character limit for typing and pasting, and
// the rewriting when it loses the focus, with the caret placement.
#include "ui/controls.h"
#include "ui/count_box.h"
#include "ui/win/handle.h"
#include "ui/win/text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class CountBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.reset(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(parent_);
        edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 64,
                                24, parent_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit_, nullptr);
        ASSERT_TRUE(ui::makeCountBox(edit_));
    }

    void type(std::wstring_view characters) {
        for (wchar_t c : characters) SendMessageW(edit_, WM_CHAR, c, 0);
    }
    std::string text() const { return ui::windowText(edit_); }
    DWORD selectionStart() const {
        DWORD start = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    }
    DWORD selectionEnd() const {
        DWORD end = 0;
        SendMessageW(edit_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
        return end;
    }
    // What the box sees when the focus moves elsewhere.
    void leave() { SendMessageW(edit_, WM_KILLFOCUS, 0, 0); }

    win::UniqueWindow parent_;
    HWND edit_ = nullptr;  // owned by parent_
};

TEST_F(CountBoxTest, TypingKeepsOnlyDigitsAndMinus) {
    type(L"a1. -2x3");
    EXPECT_EQ(text(), "1-23");
    type(L"4");  // a fifth character
    EXPECT_EQ(text(), "1-23");
    type(L"\b");  // Backspace still works
    EXPECT_EQ(text(), "1-2");
    type(L"\xff15年");  // full-width digit, CJK
    EXPECT_EQ(text(), "1-2");
}

TEST_F(CountBoxTest, PasteIsUnfilteredButLimited) {
    const std::wstring clip = L"+7ab99";
    ASSERT_TRUE(OpenClipboard(parent_.get()));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (clip.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(block, nullptr);
    std::copy(clip.c_str(), clip.c_str() + clip.size() + 1, static_cast<wchar_t*>(GlobalLock(block)));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);  // the clipboard owns the block now
    CloseClipboard();

    SendMessageW(edit_, WM_PASTE, 0, 0);
    EXPECT_EQ(text(), "+7ab");
    leave();
    EXPECT_EQ(text(), "7");
}

TEST_F(CountBoxTest, LeavingRewritesTheTextAndKeepsTheCaretWhereTheSelectionStarted) {
    struct Case {
        const char* text;
        int selectionStart, selectionEnd;
        const char* rewritten;
        DWORD caret;
    };
    const Case cases[] = {
        {"007", 3, 3, "7", 1},     // past the new end: clamped to it
        {"-012", 1, 3, "-12", 1},  // the selection collapses to its start
        {"5-3", 0, 0, "5", 0},
        {"0", 1, 1, "", 0},
        {"--5", 2, 2, "", 0},
    };
    for (const Case& c : cases) {
        ui::setWindowText(edit_, c.text);
        SendMessageW(edit_, EM_SETSEL, c.selectionStart, c.selectionEnd);
        leave();
        EXPECT_EQ(text(), c.rewritten) << "text " << c.text;
        EXPECT_EQ(selectionStart(), c.caret) << "text " << c.text;
        EXPECT_EQ(selectionEnd(), c.caret) << "text " << c.text;
    }
}

TEST_F(CountBoxTest, LeavingAPlainNumberTouchesNothing) {
    // A rewrite would collapse the selection; an untouched box keeps it.
    for (const char* plain : {"9999", "-999"}) {
        ui::setWindowText(edit_, plain);
        SendMessageW(edit_, EM_SETSEL, 1, 3);
        leave();
        EXPECT_EQ(text(), plain);
        EXPECT_EQ(selectionStart(), 1u) << "text " << plain;
        EXPECT_EQ(selectionEnd(), 3u) << "text " << plain;
    }
}

}  // namespace
