// The few pieces of the C++ runtime the library needs, in place of the static
// libstdc++ ones: those pull in exception support, the unwinder, the name
// demangler and the threads library, several times the size of the library.
// The library is built without exceptions; running out of memory or a broken
// container invariant ends the process, as an uncaught exception would.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void fail() {
    // No unwinding and no message box: a failure this deep leaves no safe way on.
    std::abort();
}

void* allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) fail();
    return p;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
[[noreturn]] void __throw_length_error(const char*) { fail(); }
[[noreturn]] void __throw_logic_error(const char*) { fail(); }
[[noreturn]] void __throw_out_of_range(const char*) { fail(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { fail(); }
[[noreturn]] void __throw_invalid_argument(const char*) { fail(); }
[[noreturn]] void __throw_bad_alloc() { fail(); }
[[noreturn]] void __throw_bad_array_new_length() { fail(); }
}  // namespace std

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() { fail(); }
}  // namespace __gnu_cxx
