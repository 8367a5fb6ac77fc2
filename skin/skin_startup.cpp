#include "skin/skin_startup.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "resources/resource_ids.h"
#include "ui/win/handle.h"
#include "ui/win/text.h"

namespace skin {
namespace {

constexpr std::wstring_view kLibraryFileName = L"SkinH_EL.dll";
constexpr std::string_view kLibraryFileNameUtf8 = "SkinH_EL.dll";

using AttachResFunction = int(__stdcall*)(const unsigned char* data, int size, const char* text, int, int, int);
using SetAeroFunction = int(__stdcall*)(int on);

// One export of the library, bound on its own first call and kept until the
// program ends, with the module handle it was found under.
struct Binding {
    FARPROC address = nullptr;
    win::UniqueModule module;
};

Binding attachResBinding;
Binding setAeroBinding;

std::span<const std::byte> resourceBytes(int id) {
    // Borrowed: the executable's own module handle is never freed.
    const HMODULE self = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!info) return {};
    // Resources of the executable stay mapped for the life of the process;
    // LoadResource and LockResource need no release.
    const HGLOBAL loaded = LoadResource(self, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::byte*>(data), SizeofResource(self, info)};
}

// An entry of that exact name exists when a directory search finds it; this
// counts hidden and read-only files and directories alike.
bool entryExists(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const win::UniqueFind search(FindFirstFileW(path.c_str(), &found));
    return static_cast<bool>(search);
}

// Creates (or empties) the file and writes the image in one call. A failed or
// short write leaves a broken file that every later start would take as
// present and fail to load, so the file is closed and deleted again.
void writeLibraryFile(const std::wstring& path, std::span<const std::byte> image) {
    // A build without the image would write an empty file that never loads.
    if (image.empty()) return;
    win::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    const bool complete =
        WriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr) &&
        written == image.size();
    file.reset();  // DeleteFileW fails on a file that is still open without sharing.
    if (!complete) DeleteFileW(path.c_str());
}

[[noreturn]] void failMissingExport(std::string_view exportName) {
    std::string text = "在“";
    text.append(kLibraryFileNameUtf8).append("”中找不到函数“").append(exportName).append("”。");
    MessageBoxW(nullptr, win::widen(text).c_str(), L"错误", MB_ICONERROR | MB_OK | MB_TASKMODAL);
    releaseSkinLibrary();
    ExitProcess(static_cast<UINT>(-1));
}

// Binds one export: load the library by its full path in the run directory,
// else by its bare name (the system's library search order), then look the
// export up. Each export loads the library on its own, which only raises the
// module's use count when it is loaded already.
FARPROC bind(Binding& binding, const char* exportName) {
    if (binding.address) return binding.address;
    const std::wstring path = libraryPathIn(runDirectory());
    win::UniqueModule module(LoadLibraryW(path.c_str()));
    if (!module) module.reset(LoadLibraryW(std::wstring(kLibraryFileName).c_str()));
    if (module) {
        if (const FARPROC address = GetProcAddress(module.get(), exportName)) {
            binding.address = address;
            binding.module = std::move(module);
            return address;
        }
    }
    module.reset();  // the module loaded just now, not any bound one
    failMissingExport(exportName);
}

// FARPROC to the export's real type; the detour through void (*)() keeps
// -Wcast-function-type quiet about an intended cast.
template <typename Function>
Function as(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

std::wstring directoryOf(std::wstring_view path) {
    const size_t cut = path.rfind(L'\\');
    return cut == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, cut));
}

std::wstring runDirectory() {
    // GetModuleFileNameW fills the whole buffer when the path does not fit
    // (without a terminator on older systems): grow until it is shorter.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return directoryOf(path);
        }
        if (path.size() > 65536) return {};  // longer than any Windows path
        path.resize(path.size() * 2);
    }
}

std::wstring libraryPathIn(std::wstring_view directory) {
    std::wstring path(directory);
    path += L'\\';
    path += kLibraryFileName;
    return path;
}

void ensureSkinLibraryIn(std::wstring_view directory) {
    const std::wstring path = libraryPathIn(directory);
    if (entryExists(path)) return;  // never examined, compared or replaced
    writeLibraryFile(path, skinLibraryImage());
    // Hidden alone replaces every other attribute. Runs even when nothing
    // could be created; it then fails harmlessly.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

std::span<const std::byte> skinLibraryImage() {
    return resourceBytes(IDR_SKIN_LIBRARY);
}

std::span<const std::byte> builtInSkin(int skinNumber) {
    if (skinNumber < 1 || skinNumber > kBuiltInSkinCount) return {};
    return resourceBytes(IDR_SKIN_FIRST + skinNumber);
}

void prepareRunDirectory() noexcept {
    const std::wstring directory = runDirectory();
    if (directory.empty()) return;
    // With the backslash a drive's root ("C:" from C:\x.exe) names the root
    // itself, not the drive's last current directory.
    SetCurrentDirectoryW((directory + L'\\').c_str());
}

void ensureSkinLibrary() noexcept {
    ensureSkinLibraryIn(runDirectory());
}

void applyBuiltInSkin(int skinNumber) noexcept {
    ensureSkinLibrary();
    const std::span<const std::byte> skin = builtInSkin(skinNumber);
    // The library reads the skin during the call only; the copy goes as soon
    // as it returns. Without memory for it the call gets no skin at all.
    std::unique_ptr<unsigned char[]> copy;
    if (!skin.empty()) copy.reset(new (std::nothrow) unsigned char[skin.size()]);
    const int size = copy ? static_cast<int>(skin.size()) : 0;
    if (copy) std::memcpy(copy.get(), skin.data(), skin.size());
    as<AttachResFunction>(bind(attachResBinding, "SkinH_AttachRes"))(copy.get(), size, "", 0, 0, 0);
}

void enableSkinAero() noexcept {
    ensureSkinLibrary();
    as<SetAeroFunction>(bind(setAeroBinding, "SkinH_SetAero"))(1);
}

void releaseSkinLibrary() noexcept {
    for (Binding* binding : {&attachResBinding, &setAeroBinding}) {
        binding->address = nullptr;
        binding->module.reset();
    }
}

}  // namespace skin
