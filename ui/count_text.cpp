#include "ui/count_text.h"

#include <cstdint>
#include <limits>

namespace ui {

namespace {

constexpr bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads with the 64-bit range; beyond it the value stays at the limit, so a
// long run of digits cannot wrap round to a small or opposite-signed number.
std::int64_t readWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate towards the negative side, which holds one value more.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
        } else {
            value = value * 10 - digit;
        }
    }
    if (negative) return value;
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::string formatWholeNumber(std::int32_t value) {
    char digits[12];
    std::size_t n = 0;
    // Work on the magnitude as unsigned so that INT32_MIN has no overflow.
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::string text;
    if (value < 0) text.push_back('-');
    while (n > 0) text.push_back(digits[--n]);
    return text;
}

}  // namespace

std::string normaliseCountText(std::string_view text) {
    std::int64_t value = readWholeNumber(text);
    if (value < std::numeric_limits<std::int32_t>::min()) value = std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    if (value == 0) return {};
    return formatWholeNumber(static_cast<std::int32_t>(value));
}

}  // namespace ui
