#include "ui/focus_cycle.h"

namespace ui {

std::optional<std::size_t> nextFocusPosition(std::span<const bool> available,
                                             std::optional<std::size_t> current, bool backward) {
    const std::size_t count = available.size();
    if (count == 0) return std::nullopt;
    // Start one step outside the list so that the first step lands on an end.
    std::size_t position = current && *current < count ? *current : (backward ? 0 : count - 1);
    for (std::size_t step = 0; step < count; ++step) {
        position = backward ? (position + count - 1) % count : (position + 1) % count;
        if (available[position]) return position;
    }
    return std::nullopt;
}

}  // namespace ui
