// The window side of the skin library, called by the exports.
#pragma once

namespace skinlib {

enum : int { kOk = 0, kErrorNoData = 1, kErrorBadSkin = 2, kErrorSystem = 3 };

// Parses the skin (keeping a copy of what it needs) and skins every window of
// the calling thread, now and later. On error nothing changes.
int attachSkin(const unsigned char* data, int size);
// Shows (on != 0) or removes the glow around skinned top-level windows.
int setAero(int on);
// Unhooks and restores every subclassed window; for an unload while windows live.
void detachAll();

}  // namespace skinlib
