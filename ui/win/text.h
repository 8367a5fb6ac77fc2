// The one place where text crosses between the program's UTF-8 strings and the
// UTF-16 strings of the Win32 W functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win {

// UTF-8 to UTF-16. Invalid sequences become U+FFFD (MultiByteToWideChar's rule
// without MB_ERR_INVALID_CHARS).
inline std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

// UTF-16 to UTF-8. Lone surrogates become U+FFFD.
inline std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace win
