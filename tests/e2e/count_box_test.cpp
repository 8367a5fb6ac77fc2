// The count box as the user types and pastes into it and leaves it.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace e2e {
namespace {

using CountBoxTest = MainWindowTest;

TEST_F(CountBoxTest, TypingKeepsOnlyDigitsAndMinus) {
    struct TypingCase {
        const char* typed;
        const char* shown;
    };
    const TypingCase cases[] = {
        {"1a2", "12"},   {"3 4", "34"},   {"5.6", "56"},  {"xyz7", "7"},
        {"-12", "-12"},  {"1-2-", "1-2-"}, {"--5", "--5"}, {"+8", "8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        EXPECT_TRUE(typeCount(c.typed, c.shown));
        // Backspace works as usual.
        pressKey(VK_BACK);
        const std::string shortened = std::string(c.shown).substr(0, std::string(c.shown).size() - 1);
        EXPECT_TRUE(waitUntil([&] { return windowText(count_) == shortened; })) << windowText(count_);
    }
}

TEST_F(CountBoxTest, AtMostFourCharactersTypedOrPasted) {
    // Typed: the fifth character is refused (Tab makes sure it was handled).
    ASSERT_TRUE(typeCount("1234"));
    typeText("5");
    ASSERT_TRUE(tabAwayFrom(count_));
    EXPECT_EQ(windowText(count_), "1234");

    // Pasted into an empty box, and after two typed characters.
    struct PasteCase {
        const char* typedFirst;
        const char* clipboard;
        const char* shown;
    };
    const PasteCase cases[] = {{"", "98765", "9876"}, {"12", "345", "1234"}, {"", "-1234", "-123"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("pasted \"") + c.clipboard + "\"");
        ASSERT_TRUE(typeCount(c.typedFirst));
        ASSERT_TRUE(setClipboardText(c.clipboard));
        pressKey('V', {VK_CONTROL});
        EXPECT_TRUE(waitUntil([&] { return windowText(count_) == c.shown; })) << windowText(count_);
    }
}

TEST_F(CountBoxTest, LeavingTheBoxNormalisesItsText) {
    struct NormaliseCase {
        const char* entered;
        bool pasted;  // pasting is not filtered, so "+" and spaces get in
        const char* left;
    };
    const NormaliseCase cases[] = {
        {"007", false, "7"},   {"0", false, ""},       {"-0", false, ""},     {"-", false, ""},
        {"--5", false, ""},    {"5-", false, "5"},     {"5-3", false, "5"},   {"-012", false, "-12"},
        {"9999", false, "9999"}, {"-999", false, "-999"}, {"12", false, "12"}, {"+7", true, "7"},
        {" 42", true, "42"},   {"4x2", true, "4"},     {"abc", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pasted ? "pasted \"" : "typed \"") + c.entered + "\"");
        if (c.pasted) {
            ASSERT_TRUE(clearCount());
            ASSERT_TRUE(setClipboardText(c.entered));
            pressKey('V', {VK_CONTROL});
            ASSERT_TRUE(waitUntil([&] { return windowText(count_) == c.entered; })) << windowText(count_);
        } else {
            ASSERT_TRUE(typeCount(c.entered));
        }
        ASSERT_TRUE(tabAwayFrom(count_));
        EXPECT_TRUE(waitUntil([&] { return windowText(count_) == c.left; })) << windowText(count_);
    }
}

TEST_F(CountBoxTest, RewritingKeepsTheCaretWhereItWas) {
    struct CaretCase {
        const char* typed;
        bool caretHome;  // Home pressed before leaving
        const char* left;
        int caret;  // caret position once the box has been left
    };
    // The caret goes where the selection started, within the new text.
    const CaretCase cases[] = {
        {"007", true, "7", 0}, {"007", false, "7", 1}, {"-012", false, "-12", 3}, {"12", true, "12", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + (c.caretHome ? "\", Home" : "\""));
        ASSERT_TRUE(typeCount(c.typed));
        if (c.caretHome) pressKey(VK_HOME);
        ASSERT_TRUE(tabAwayFrom(count_));
        EXPECT_TRUE(waitUntil([&] { return windowText(count_) == c.left; })) << windowText(count_);
        const LRESULT selection = SendMessageW(count_, EM_GETSEL, 0, 0);
        EXPECT_EQ(LOWORD(selection), c.caret);
        EXPECT_EQ(HIWORD(selection), c.caret);
    }
}

}  // namespace
}  // namespace e2e
