// Feeds any bytes to the skin parser: it must return either a reason or a skin
// whose values are all within the ranges the drawing code relies on.
#include "skin_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void requireGradient(const skin::Gradient& gradient) {
    require(gradient.count >= 1 && gradient.count <= skin::Gradient::kMaxStops);
    for (std::size_t i = 0; i < gradient.count; ++i) {
        require(gradient.stops[i].position <= 100);
        if (i > 0) require(gradient.stops[i - 1].position <= gradient.stops[i].position);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const skin::ParseResult result = skin::parseSkin(std::span<const unsigned char>(data, size));
    if (const auto* error = std::get_if<skin::ParseError>(&result)) {
        require(!error->reason.empty());
        return 0;
    }
    const skin::Skin& parsed = std::get<skin::Skin>(result);
    for (const skin::Gradient* gradient :
         {&parsed.captionActive, &parsed.captionInactive, &parsed.closeHover, &parsed.closePressed, &parsed.menuBar,
          &parsed.button, &parsed.buttonHover, &parsed.buttonPressed, &parsed.comboArrow})
        requireGradient(*gradient);
    require(parsed.aeroSize >= 0 && parsed.aeroSize <= 32);
    require(parsed.aeroStrength >= 0 && parsed.aeroStrength <= 255);
    require(parsed.buttonRadius >= 0 && parsed.buttonRadius <= 64);
    return 0;
}
