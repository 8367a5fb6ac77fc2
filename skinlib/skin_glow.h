// The "aero" glow: a layered, click-through popup just below a top-level
// window in the z-order, a few pixels larger on each side, that fades from the
// skin's glow colour at the frame to transparent.
#pragma once

#include "skin_format.h"
#include "win/handle.h"

#include <windows.h>

namespace skinlib {

inline constexpr wchar_t kGlowClass[] = L"TesmarinSkinGlow";

class Glow {
public:
    Glow() = default;
    Glow(const Glow&) = delete;
    Glow& operator=(const Glow&) = delete;
    // Places, shows or hides the glow to match owner (borrowed) now.
    void follow(HWND owner, skin::Color color, int size, int strength, bool active);

private:
    void render(int width, int height, skin::Color color, int size, int strength, bool active);

    win::UniqueWindow window_;
    int width_ = 0, height_ = 0, size_ = 0, strength_ = 0;
    skin::Color color_{};
    bool active_ = false, rendered_ = false;
};

// Removes the window class of the glow; after every glow window is gone.
void unregisterGlowClass();

// Peak-relative opacity 0..255 of the glow at a pixel dx, dy outside the
// window's edge (both >= 0), for a glow of the given size: a smooth fall-off.
int glowAlpha(int dx, int dy, int size, int strength);

}  // namespace skinlib
