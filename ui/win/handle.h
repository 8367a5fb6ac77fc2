// Owning wrappers for Win32 handles: one template, and per kind of handle a
// traits type naming its invalid value and its release function. Copying is
// deleted; moving hands the ownership on.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

template <typename Traits>
class UniqueAny {
public:
    using Handle = typename Traits::Handle;

    UniqueAny() noexcept = default;
    explicit UniqueAny(Handle handle) noexcept : handle_(handle) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }

    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle handle = Traits::invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle handle_ = Traits::invalid();
};

namespace detail {

template <typename H, auto Close>
struct NullTraits {
    using Handle = H;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { Close(h); }
};

template <auto Close>
struct InvalidValueTraits {
    using Handle = HANDLE;
    // CreateFile and FindFirstFile report failure as INVALID_HANDLE_VALUE, not null.
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { Close(h); }
};

inline void closeHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void findClose(HANDLE h) noexcept { ::FindClose(h); }
inline void freeLibrary(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void deleteObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void deleteDC(HDC h) noexcept { ::DeleteDC(h); }
inline void destroyWindow(HWND h) noexcept { ::DestroyWindow(h); }
inline void destroyMenu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void destroyIcon(HICON h) noexcept { ::DestroyIcon(h); }
inline void unhookWindowsHookEx(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }

}  // namespace detail

using UniqueFile = UniqueAny<detail::InvalidValueTraits<detail::closeHandle>>;
using UniqueFind = UniqueAny<detail::InvalidValueTraits<detail::findClose>>;
using UniqueHandle = UniqueAny<detail::NullTraits<HANDLE, detail::closeHandle>>;  // processes, threads, events
using UniqueModule = UniqueAny<detail::NullTraits<HMODULE, detail::freeLibrary>>;
using UniqueFont = UniqueAny<detail::NullTraits<HFONT, detail::deleteObject>>;
using UniqueBrush = UniqueAny<detail::NullTraits<HBRUSH, detail::deleteObject>>;
using UniquePen = UniqueAny<detail::NullTraits<HPEN, detail::deleteObject>>;
using UniqueBitmap = UniqueAny<detail::NullTraits<HBITMAP, detail::deleteObject>>;
using UniqueRegion = UniqueAny<detail::NullTraits<HRGN, detail::deleteObject>>;
using UniqueDC = UniqueAny<detail::NullTraits<HDC, detail::deleteDC>>;
using UniqueWindow = UniqueAny<detail::NullTraits<HWND, detail::destroyWindow>>;
using UniqueMenu = UniqueAny<detail::NullTraits<HMENU, detail::destroyMenu>>;
using UniqueIcon = UniqueAny<detail::NullTraits<HICON, detail::destroyIcon>>;
using UniqueHook = UniqueAny<detail::NullTraits<HHOOK, detail::unhookWindowsHookEx>>;

}  // namespace win
