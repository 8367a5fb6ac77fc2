#include "catalogue/year_reckoning.h"

#include "catalogue/decimal_conversion.h"

#include <cmath>
#include <cstddef>

namespace catalogue {
namespace {

// One decoded UTF-8 sequence. When the byte at the start does not begin a valid,
// complete sequence, `valid` is false and that byte alone is skipped; stray
// continuation bytes after it are then skipped one by one as well.
struct Decoded {
    char32_t codePoint;
    bool valid;
    std::size_t length;
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

Decoded decodeUtf8(std::string_view text, std::size_t at) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(at);
    if (lead < 0x80) return {lead, true, 1};

    std::size_t length = 0;
    char32_t codePoint = 0;
    // Allowed range of the second byte; it excludes overlong forms, surrogates
    // and code points beyond U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {0, false, 1};
    }
    if (text.size() - at < length) return {0, false, 1};
    const unsigned char second = byteAt(at + 1);
    if (second < low || second > high) return {0, false, 1};
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char byte = byteAt(at + i);
        if (!isContinuation(byte)) return {0, false, 1};
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    return {codePoint, true, length};
}

// The ASCII character a full-width form stands for, or 0 when it is kept as it
// is. The set is that of the double-byte Chinese code page's full-width row
// (FF01..FF5D without ＄, which lives elsewhere there, plus ￥ and ￣ that sit
// in that row) and its ideographic space, ～, ☆ and ★.
char foldedAscii(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E && c != 0xFF04) return static_cast<char>(c - 0xFEE0);
    switch (c) {
    case 0xFFE5: return '$';  // ￥
    case 0xFFE3: return '~';  // ￣
    case 0x3000: return ' ';  // ideographic space
    case 0x2605:              // ★
    case 0x2606: return '*';  // ☆
    default: return 0;
    }
}

std::string foldFullWidth(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Decoded d = decodeUtf8(text, at);
        if (d.valid) {
            if (const char ascii = foldedAscii(d.codePoint)) {
                folded += ascii;
            } else {
                folded.append(text.substr(at, d.length));
            }
        }
        at += d.length;
    }
    return folded;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isClassicSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Cap on the exponent while its digits are read, far beyond the range of a
// double, so a long run of exponent digits cannot overflow.
constexpr long long kExponentCap = 1'000'000'000;

// Reads the classic decimal number at the start of `text` (already folded).
double convertDecimal(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isClassicSpace(text[i])) ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // The significant digits (no leading zeros), and the decimal exponent P of
    // the value read as 0.<digits> x 10^P.
    std::string digits;
    long long pointExponent = 0;
    bool anyDigit = false;
    for (; i < n && isDigit(text[i]); ++i) {
        anyDigit = true;
        if (digits.empty() && text[i] == '0') continue;
        digits += text[i];
        ++pointExponent;
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (; i < n && isDigit(text[i]); ++i) {
            anyDigit = true;
            if (digits.empty() && text[i] == '0') {
                --pointExponent;
                continue;
            }
            digits += text[i];
        }
    }
    if (!anyDigit) return 0.0;

    // The exponent counts only when at least one digit follows its letter and sign.
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            long long exponent = 0;
            for (; j < n && isDigit(text[j]); ++j) {
                if (exponent < kExponentCap) exponent = exponent * 10 + (text[j] - '0');
            }
            pointExponent += negativeExponent ? -exponent : exponent;
        }
    }

    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    const double magnitude = decimalToDouble(digits, pointExponent);
    return negative ? -magnitude : magnitude;
}

}  // namespace

double parseYearCount(std::string_view text) { return convertDecimal(foldFullWidth(text)); }

double reckonYear(int startYear, double count) {
    // Shift the years before the common era up by one so the numbering has no
    // gap (1 BC becomes 0), count there, and shift back.
    const double start = static_cast<double>(startYear);
    const double continuous = startYear < 0 ? start + 1.0 : start;
    const double year = continuous + count - 1.0;
    return year <= 0.0 ? year - 1.0 : year;
}

std::string formatYearNumber(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-1.#QNAN" : "1.#QNAN";
    if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
    return formatGeneral(value, 13);
}

std::string composeResultText(std::string_view eraText, std::string_view countText,
                              std::string_view yearText) {
    constexpr std::string_view kYearColon = "年：";
    constexpr std::string_view kYear = "年";
    std::string text;
    text.reserve(eraText.size() + countText.size() + kYearColon.size() + yearText.size() + kYear.size());
    text.append(eraText).append(countText).append(kYearColon).append(yearText).append(kYear);
    return text;
}

}  // namespace catalogue
