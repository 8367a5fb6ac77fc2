// Feeds any bytes to the count parser, then formats and composes its result,
// checking properties that must hold for every input.
#include "catalogue/year_reckoning.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isYearText(std::string_view text) {
    if (text == "1.#INF" || text == "-1.#INF") return true;
    if (text.empty()) return false;
    for (char c : text) {
        const bool ok = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const double count = catalogue::parseYearCount(input);
    require(!std::isnan(count));

    const double year = catalogue::reckonYear(-140, count);
    const std::string yearText = catalogue::formatYearNumber(year);
    require(std::isnan(year) || isYearText(yearText));

    // Thirteen significant digits hold every whole number below 10^13 exactly,
    // so such a value must read back unchanged.
    const std::string countText = catalogue::formatYearNumber(count);
    if (std::isfinite(count) && count == std::trunc(count) && std::fabs(count) < 1e13)
        require(catalogue::parseYearCount(countText) == count);

    const std::string answer = catalogue::composeResultText("建元", input, yearText);
    require(answer.size() == std::string_view("建元").size() + input.size() + std::string_view("年：").size() +
                                 yearText.size() + std::string_view("年").size());
    return 0;
}
