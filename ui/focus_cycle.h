// The window's own Tab and Shift+Tab handling, as a pure function over the
// controls of the focus cycle.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace ui {

// Position of the control that Tab (or Shift+Tab, when backward) moves the
// focus to: the next one after current in the cyclic order that is available
// (visible and enabled), wrapping at the ends. Without a current control the
// search starts in front of the first one (backward: behind the last one).
// None when no control is available.
std::optional<std::size_t> nextFocusPosition(std::span<const bool> available,
                                             std::optional<std::size_t> current, bool backward);

}  // namespace ui
