// Feeds any bytes to the count box's normalisation and checks its promise:
// the result is empty or a plain whole number of the 32-bit range other than
// 0, and normalising it again changes nothing.
#include "ui/count_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isPlainInt32(std::string_view text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 10 || digits.front() == '0') return false;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return negative ? value <= 2147483648LL : value <= 2147483647LL;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string normalised = ui::normaliseCountText(input);
    require(normalised.empty() || isPlainInt32(normalised));
    require(ui::normaliseCountText(normalised) == normalised);
    return 0;
}
