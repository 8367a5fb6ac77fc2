#include "ui/count_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* text;
    const char* normalised;
};

// What the count box holds after it loses the focus, for texts that can reach
// it by typing (digits and "-") or by pasting (anything of up to 4 characters).
TEST(NormaliseCountText, RewritesToPlainWholeNumber) {
    const Case cases[] = {
        {"", ""},       {"7", "7"},         {"007", "7"},     {"-012", "-12"},  {"9999", "9999"},
        {"-999", "-999"}, {"0", ""},        {"-0", ""},       {"0000", ""},     {"-", ""},
        {"--5", ""},    {"5-", "5"},        {"5-3", "5"},     {"+7", "7"},      {"+-7", ""},
        {" 12", "12"},  {"\t\r\n\v\f8", "8"}, {"1 2", "1"},   {"abc", ""},      {"12ab", "12"},
        {"-+3", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::normaliseCountText(c.text), c.normalised) << "text \"" << c.text << "\"";
    }
}

TEST(NormaliseCountText, ClampsToThirtyTwoBits) {
    const Case cases[] = {
        {"2147483647", "2147483647"},   {"2147483648", "2147483647"},
        {"-2147483648", "-2147483648"}, {"-2147483649", "-2147483648"},
        // Past the 64-bit range the reading saturates instead of wrapping round.
        {"9223372036854775808", "2147483647"},
        {"18446744073709551617", "2147483647"},
        {"-99999999999999999999999", "-2147483648"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::normaliseCountText(c.text), c.normalised) << "text \"" << c.text << "\"";
    }
}

TEST(NormaliseCountText, IsStableOnItsOwnResult) {
    for (const char* text : {"007", "-012", "+7", "5-3", "99999999999"}) {
        const std::string once = ui::normaliseCountText(text);
        EXPECT_EQ(ui::normaliseCountText(once), once) << "text \"" << text << "\"";
    }
}

TEST(CountBoxTyping, KeepsDigitsMinusAndControlCharacters) {
    for (char32_t c : {U'0', U'5', U'9', U'-', U'\b', U'\x03', U'\x16', U'\x18', U'\x1a', U'\r'}) {
        EXPECT_TRUE(ui::isAcceptedCountChar(c)) << static_cast<unsigned>(c);
    }
    for (char32_t c : {U' ', U'.', U'+', U'a', U'Z', U'/', U':', U'\x7f', U'\xff11' /* full-width 1 */, U'年'}) {
        EXPECT_FALSE(ui::isAcceptedCountChar(c)) << static_cast<unsigned>(c);
    }
}

}  // namespace
