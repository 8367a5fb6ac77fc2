// The arithmetic and texts that turn an era's start year and a typed count into
// the answer shown to the user. Pure functions on UTF-8 texts and doubles.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

// The typed count as a number. Full-width forms are folded to their ASCII
// counterparts first (０-９, －, ＋, ．, the ideographic space, ～, ☆/★ as "*",
// ...); bytes that are not valid UTF-8 are dropped. The folded text is then read
// as a classic decimal number: leading white space, an optional sign, digits
// with an optional decimal point, and an optional exponent introduced by e, E,
// d or D. Reading stops at the first character that does not fit; a text with
// no leading number gives 0, and a value beyond the range of a double gives
// plus or minus infinity. No locale is involved and the result is correctly
// rounded.
double parseYearCount(std::string_view text);

// The year `count` of an era that began in `startYear` (1 is the era's first
// year). Years are numbered without a year 0 (1 BC is -1, then 1), and the
// count steps over that gap: an era that began in 2 BC has its third year in
// AD 1. The result is not rounded or limited.
double reckonYear(int startYear, double count);

// The number as "%.13g" writes it in the Windows C runtime, independent of the
// runtime actually in use: up to 13 significant digits, trailing zeros dropped,
// an exponent of at least three digits (1e+015, 1e-005), 1.#INF and -1.#INF
// for the infinities, and 1.#QNAN or -1.#QNAN (after its sign bit) for NaN.
std::string formatYearNumber(double value);

// eraText + countText + "年：" + yearText + "年", e.g. 建元3年：-138年.
std::string composeResultText(std::string_view eraText, std::string_view countText,
                              std::string_view yearText);

}  // namespace catalogue
