// Shared by the start-up tests' stand-in library and probe: one line of text
// built without allocating (the probe logs from inside operator new), and
// appended to the file named by the environment variable SKIN_STUB_LOG
// ("-" for standard output; no variable, no log).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "ui/win/handle.h"

namespace skintest {

// FNV-1a, 32 bits: a fingerprint of the bytes a call received.
inline std::uint32_t fingerprint(const unsigned char* data, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

class Line {
public:
    Line& text(std::string_view part) {
        for (char c : part)
            if (length_ < sizeof buffer_ - 1) buffer_[length_++] = c;
        return *this;
    }
    Line& decimal(long long value) {
        char digits[24];
        int count = 0;
        unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) text("-");
        while (count > 0) text({&digits[--count], 1});
        return *this;
    }
    Line& hex(std::uintptr_t value) {
        char digits[2 * sizeof value];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % 16];
            value /= 16;
        } while (value != 0);
        while (count > 0) text({&digits[--count], 1});
        return *this;
    }
    Line& pointer(const void* address) {
        return address ? hex(reinterpret_cast<std::uintptr_t>(address)) : text("null");
    }

    void write() {
        buffer_[length_++] = '\n';
        wchar_t name[4 * MAX_PATH];
        const DWORD nameLength = GetEnvironmentVariableW(L"SKIN_STUB_LOG", name, static_cast<DWORD>(std::size(name)));
        if (nameLength == 0 || nameLength >= std::size(name)) return;
        DWORD written = 0;
        if (std::wstring_view(name, nameLength) == L"-") {
            // Borrowed: the process's standard output handle.
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buffer_, static_cast<DWORD>(length_), &written, nullptr);
            return;
        }
        const win::UniqueFile file(CreateFileW(name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) WriteFile(file.get(), buffer_, static_cast<DWORD>(length_), &written, nullptr);
    }

private:
    char buffer_[1024];
    std::size_t length_ = 0;
};

}  // namespace skintest
