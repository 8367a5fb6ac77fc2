// Runs the program's skin start-up as the program does and exits: the
// start-up tests copy it into fixture run directories. The first argument,
// when given, is the skin number to attach instead of the start-up skin.
// Large allocations and their release are logged, so the tests can see the
// skin's copy made before SkinH_AttachRes and freed right after it.
#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "skin/skin_startup.h"
#include "tests/skin/test_log.h"
#include "ui/win/text.h"

namespace {

// Smaller blocks are the program's strings; the fixture skins are larger.
constexpr std::size_t kLoggedSize = 1024;
const void* tracked[16];

void* allocate(std::size_t size) noexcept {
    void* block = std::malloc(size ? size : 1);
    if (block && size >= kLoggedSize) {
        for (const void*& slot : tracked)
            if (!slot) {
                slot = block;
                break;
            }
        skintest::Line().text("alloc ").hex(reinterpret_cast<std::uintptr_t>(block)).text(" ").decimal(static_cast<long long>(size)).write();
    }
    return block;
}

void release(void* block) noexcept {
    for (const void*& slot : tracked)
        if (block && slot == block) {
            slot = nullptr;
            skintest::Line().text("free ").pointer(block).write();
        }
    std::free(block);
}

int parseNumber(std::wstring_view text) {
    bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > 1'000'000'000) break;
        value = value * 10 + (c - L'0');
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }

int wmain(int argc, wchar_t** argv) {
    skin::prepareRunDirectory();
    wchar_t current[4 * MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(std::size(current)), current);
    skintest::Line().text("cwd ").text(win::narrow({current, length})).write();

    skin::applyBuiltInSkin(argc > 1 ? parseNumber(argv[1]) : skin::kStartupSkinNumber);
    skin::enableSkinAero();
    skin::releaseSkinLibrary();
    skintest::Line().text("end").write();
    return 0;
}
