// Exact conversions between decimal digit strings and doubles, done with a
// small big-integer arithmetic of our own. They need neither the C runtime nor
// the C++ library's floating-point charconv, whose tables would make up a large
// part of the statically linked program.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

// The double nearest to 0.<digits> x 10^pointExponent, halfway cases to the
// even significand, as IEEE-754 round-to-nearest would give it. `digits` holds
// only '0'..'9' and is either empty (giving 0) or begins with a nonzero digit;
// it may be of any length. Values beyond the largest double give infinity,
// values too small for the smallest subnormal give 0. The result is never
// negative.
double decimalToDouble(std::string_view digits, long long pointExponent);

// A finite double as printf's "%.<precision>g" writes it in the C locale
// (precision 1 to 17), except that the exponent has at least three digits:
// the value is rounded to `precision` significant digits, halfway cases to
// even; plain form when the decimal exponent after rounding is from -4 to
// precision - 1, exponent form otherwise; trailing zeros and a trailing point
// dropped; "-" for a negative value, including -0.
std::string formatGeneral(double finiteValue, int precision);

}  // namespace catalogue
