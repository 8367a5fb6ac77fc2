// Rules of the count box that do not need a window: which typed characters it
// keeps, and how its text is rewritten when it loses the focus.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Typed characters at or above the control range that the count box keeps.
// Control characters (below 32) are always left to the edit control.
constexpr bool isAcceptedCountChar(char32_t c) {
    return c < 32 || c == U'-' || (c >= U'0' && c <= U'9');
}

// The text read as a decimal whole number (leading white space, an optional
// sign, the digits up to the first other character; no digits reads as 0),
// saturated to 64 bits while reading, clamped to 32 bits, and written in plain
// form without "+" or leading zeros. 0 gives the empty text.
std::string normaliseCountText(std::string_view text);

}  // namespace ui
