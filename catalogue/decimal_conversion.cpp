#include "catalogue/decimal_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace catalogue {
namespace {

// An unsigned integer of any size, least significant 32-bit limb first, with
// no zero limbs at the top (zero has no limbs). Only what the two conversions
// need is here; the largest values they build are below 2^4000.
class BigUint {
public:
    BigUint() = default;
    explicit BigUint(std::uint64_t value) {
        for (; value != 0; value >>= 32) limbs_.push_back(static_cast<std::uint32_t>(value));
    }

    bool isZero() const { return limbs_.empty(); }

    int bitLength() const {
        if (limbs_.empty()) return 0;
        return static_cast<int>(32 * (limbs_.size() - 1) + std::bit_width(limbs_.back()));
    }

    // *this = *this * factor + addend.
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }

    void multiplyByPowerOf10(long long exponent) {
        constexpr std::uint32_t kPowers[] = {1,      10,      100,      1000,      10000,
                                             100000, 1000000, 10000000, 100000000, 1000000000};
        for (; exponent >= 9; exponent -= 9) multiplyAdd(kPowers[9], 0);
        if (exponent > 0) multiplyAdd(kPowers[exponent], 0);
    }

    void shiftLeft(int bits) {
        if (limbs_.empty() || bits <= 0) return;
        const int limbShift = bits / 32;
        const int bitShift = bits % 32;
        if (bitShift != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - bitShift);
                limb = (limb << bitShift) | carry;
                carry = next;
            }
            if (carry != 0) limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(limbShift), 0u);
    }

    void shiftRightOne() {
        const std::size_t n = limbs_.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t high = i + 1 < n ? limbs_[i + 1] << 31 : 0u;
            limbs_[i] = (limbs_[i] >> 1) | high;
        }
        trim();
    }

    // *this -= other; requires *this >= other.
    void subtract(const BigUint& other) {
        std::uint64_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            const std::uint64_t subtrahend = (i < other.limbs_.size() ? other.limbs_[i] : 0u) + borrow;
            const std::uint64_t difference = static_cast<std::uint64_t>(limbs_[i]) - subtrahend;
            limbs_[i] = static_cast<std::uint32_t>(difference);
            borrow = (difference >> 32) != 0 ? 1 : 0;
        }
        trim();
    }

    friend int compare(const BigUint& a, const BigUint& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    }

    std::vector<std::uint32_t> limbs_;
};

// floor(numerator / denominator), known to be below 2^bits (bits <= 64), by
// binary long division; the remainder is left in `numerator`.
std::uint64_t divideSmallQuotient(BigUint& numerator, const BigUint& denominator, int bits) {
    BigUint step = denominator;
    step.shiftLeft(bits - 1);
    std::uint64_t quotient = 0;
    for (int bit = bits - 1; bit >= 0; --bit) {
        quotient <<= 1;
        if (compare(numerator, step) >= 0) {
            numerator.subtract(step);
            quotient |= 1;
        }
        if (bit > 0) step.shiftRightOne();
    }
    return quotient;
}

constexpr int kSignificandBits = 52;  // stored bits; the leading 1 is implicit
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << kSignificandBits;
constexpr int kExponentBias = 1023;
constexpr int kMinNormalExponent = -1022;
constexpr int kMaxExponent = 1023;
// Scale at which one unit of a subnormal significand is 2^-1074, plus one
// more bit for rounding.
constexpr int kSubnormalScale = 1075;

// Correct rounding needs at most 767 significant digits for any double (the
// longest exact halfway point between two doubles); beyond a cut-off above
// that, the dropped digits only matter through whether any of them is nonzero.
constexpr std::size_t kMaxSignificantDigits = 800;

}  // namespace

double decimalToDouble(std::string_view digits, long long pointExponent) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (digits.empty()) return 0.0;
    // With a leading nonzero digit the value lies in [10^(P-1), 10^P).
    if (pointExponent > 310) return kInfinity;
    if (pointExponent < -330) return 0.0;

    const std::size_t kept = std::min(digits.size(), kMaxSignificantDigits);
    BigUint numerator;
    for (std::size_t i = 0; i < kept; ++i) {
        numerator.multiplyAdd(10, static_cast<std::uint32_t>(digits[i] - '0'));
    }
    long long decimalExponent = pointExponent - static_cast<long long>(kept);
    // Dropped nonzero digits become one trailing 1: it puts the value strictly
    // between the same two neighbours of the cut-off grid, on which every
    // halfway point lies.
    if (std::any_of(digits.begin() + static_cast<std::ptrdiff_t>(kept), digits.end(),
                    [](char c) { return c != '0'; })) {
        numerator.multiplyAdd(10, 1);
        --decimalExponent;
    }

    BigUint denominator(1);
    if (decimalExponent >= 0) {
        numerator.multiplyByPowerOf10(decimalExponent);
    } else {
        denominator.multiplyByPowerOf10(-decimalExponent);
    }

    // Scale by 2^scale so that the quotient has 54 or 55 bits: 53 for the
    // significand, one for rounding, maybe one too many from the estimate.
    int scale = 54 - (numerator.bitLength() - denominator.bitLength());
    if (scale > 0) {
        numerator.shiftLeft(scale);
    } else {
        denominator.shiftLeft(-scale);
    }
    std::uint64_t scaled = divideSmallQuotient(numerator, denominator, 55);
    bool sticky = !numerator.isZero();
    if ((scaled >> 54) != 0) {
        sticky = sticky || (scaled & 1) != 0;
        scaled >>= 1;
        --scale;
    }
    // Now scaled = floor(value * 2^scale) in [2^53, 2^54), so the value lies
    // in [2^exponent, 2^(exponent + 1)).
    int exponent = 53 - scale;
    if (exponent > kMaxExponent) return kInfinity;

    const bool subnormal = exponent < kMinNormalExponent;
    if (subnormal) {
        // Fewer significant bits: drop those below 2^-1075 into the sticky bit.
        const int dropped = scale - kSubnormalScale;
        if (dropped >= 64) {
            sticky = sticky || scaled != 0;
            scaled = 0;
        } else {
            sticky = sticky || (scaled & ((std::uint64_t{1} << dropped) - 1)) != 0;
            scaled >>= dropped;
        }
    }

    std::uint64_t significand = scaled >> 1;
    const bool half = (scaled & 1) != 0;
    if (half && (sticky || (significand & 1) != 0)) ++significand;

    // A subnormal significand is the bit pattern itself; rounding up into
    // 2^52 gives the smallest normal number's pattern, as it should.
    if (subnormal) return std::bit_cast<double>(significand);
    if (significand == 2 * kHiddenBit) {
        significand = kHiddenBit;
        ++exponent;
        if (exponent > kMaxExponent) return kInfinity;
    }
    const auto biased = static_cast<std::uint64_t>(exponent + kExponentBias);
    return std::bit_cast<double>((biased << kSignificandBits) | (significand - kHiddenBit));
}

std::string formatGeneral(double finiteValue, int precision) {
    precision = std::clamp(precision, 1, 17);
    std::string text;
    if (std::signbit(finiteValue)) {
        text += '-';
        finiteValue = -finiteValue;
    }
    if (finiteValue == 0.0) {
        text += '0';
        return text;
    }

    // The value exactly: significand * 2^binaryExponent.
    const auto bits = std::bit_cast<std::uint64_t>(finiteValue);
    const auto biased = static_cast<int>(bits >> kSignificandBits);
    std::uint64_t significand = bits & (kHiddenBit - 1);
    int binaryExponent = 1 - kExponentBias - kSignificandBits;
    if (biased != 0) {
        significand |= kHiddenBit;
        binaryExponent = biased - kExponentBias - kSignificandBits;
    }
    BigUint numerator(significand);
    BigUint denominator(1);
    if (binaryExponent >= 0) {
        numerator.shiftLeft(binaryExponent);
    } else {
        denominator.shiftLeft(-binaryExponent);
    }

    // The value lies in [2^L, 2^(L+1)), so its decimal exponent is
    // floor(L log10 2) or one more; 78913 / 2^18 is log10 2 closely enough
    // for the range of doubles.
    const int log2Floor = static_cast<int>(std::bit_width(significand)) - 1 + binaryExponent;
    int decimalExponent = (log2Floor * 78913) >> 18;
    const int scale = precision - 1 - decimalExponent;
    if (scale >= 0) {
        numerator.multiplyByPowerOf10(scale);
    } else {
        denominator.multiplyByPowerOf10(-scale);
    }
    // numerator / denominator now lies in [10^(precision-1), 10^(precision+1)).
    BigUint limit = denominator;
    limit.multiplyByPowerOf10(precision);
    if (compare(numerator, limit) >= 0) {
        denominator.multiplyAdd(10, 0);
        ++decimalExponent;
    }
    std::uint64_t digits = divideSmallQuotient(numerator, denominator, 60);

    // Round on the exact remainder, halfway cases to an even last digit.
    numerator.shiftLeft(1);
    const int remainder = compare(numerator, denominator);
    if (remainder > 0 || (remainder == 0 && (digits & 1) != 0)) ++digits;
    std::uint64_t power = 1;
    for (int i = 0; i < precision; ++i) power *= 10;
    if (digits == power) {  // 9.99...95 rounds up to the next power of ten
        digits /= 10;
        ++decimalExponent;
    }

    char digitText[17];
    for (int i = precision - 1; i >= 0; --i) {
        digitText[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int length = precision;
    while (length > 1 && digitText[length - 1] == '0') --length;

    if (decimalExponent >= -4 && decimalExponent < precision) {
        if (decimalExponent >= 0) {
            for (int i = 0; i <= decimalExponent; ++i) text += i < length ? digitText[i] : '0';
            if (length > decimalExponent + 1) {
                text += '.';
                text.append(digitText + decimalExponent + 1, digitText + length);
            }
        } else {
            text += "0.";
            text.append(static_cast<std::size_t>(-decimalExponent - 1), '0');
            text.append(digitText, digitText + length);
        }
        return text;
    }

    text += digitText[0];
    if (length > 1) {
        text += '.';
        text.append(digitText + 1, digitText + length);
    }
    text += 'e';
    text += decimalExponent < 0 ? '-' : '+';
    const int magnitude = decimalExponent < 0 ? -decimalExponent : decimalExponent;
    text += static_cast<char>('0' + magnitude / 100);
    text += static_cast<char>('0' + magnitude / 10 % 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

}  // namespace catalogue
