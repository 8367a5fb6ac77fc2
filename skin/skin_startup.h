// The program's skin start-up: it places the skinning library file
// SkinH_EL.dll in the run directory (the executable's folder) when nothing of
// that name is there, attaches a built-in skin through the library's
// SkinH_AttachRes and switches the aero effect on through SkinH_SetAero.
// Everything runs on the user-interface thread.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace skin {

inline constexpr int kBuiltInSkinCount = 33;
inline constexpr int kStartupSkinNumber = 13;

// Makes the run directory the current directory; call first in wWinMain.
void prepareRunDirectory() noexcept;
// Writes the library file to the run directory unless an entry of that name
// (file or directory, hidden or read-only) is already there.
void ensureSkinLibrary() noexcept;
// ensureSkinLibrary, then SkinH_AttachRes with a copy of built-in skin
// skinNumber (1..kBuiltInSkinCount); any other number passes null and 0.
void applyBuiltInSkin(int skinNumber) noexcept;
// ensureSkinLibrary, then SkinH_SetAero(1).
void enableSkinAero() noexcept;
// Frees every stored module handle once; called at program end.
void releaseSkinLibrary() noexcept;

// The pieces the operations above are made of.

// The folder part of a path: everything before its last backslash; a path
// without a backslash has none (empty).
std::wstring directoryOf(std::wstring_view path);
// The folder of the running executable, without a trailing backslash.
std::wstring runDirectory();
// directory + "\SkinH_EL.dll".
std::wstring libraryPathIn(std::wstring_view directory);
// ensureSkinLibrary for a given directory.
void ensureSkinLibraryIn(std::wstring_view directory);

// The embedded library file and built-in skins, read from the executable's
// own resources (empty when missing; numbers outside 1..33 give empty).
std::span<const std::byte> skinLibraryImage();
std::span<const std::byte> builtInSkin(int skinNumber);

}  // namespace skin
