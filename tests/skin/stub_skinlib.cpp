// Stand-in for the skinning library in the start-up tests. It logs its
// loading, every call with its arguments and its unloading, so the tests can
// check what the program passed, in which order, and that it let go of the
// library. Built twice: with both exports, and without SkinH_SetAero.
#include <windows.h>

#include <string>

#include "tests/skin/test_log.h"
#include "ui/win/text.h"

extern "C" int __stdcall SkinH_AttachRes(const unsigned char* data, int size, const char* text, int a, int b, int c) {
    skintest::Line line;
    line.text("attach variant=" STUB_VARIANT " data=").pointer(data).text(" size=").decimal(size).text(" hash=");
    if (data && size > 0)
        line.hex(skintest::fingerprint(data, static_cast<std::size_t>(size)));
    else
        line.text("-");
    line.text(" text=");
    if (text)
        line.text("\"").text(text).text("\"");
    else
        line.text("null");
    line.text(" args=").decimal(a).text(",").decimal(b).text(",").decimal(c).write();
    return 0;
}

#ifdef STUB_WITH_AERO
extern "C" int __stdcall SkinH_SetAero(int on) {
    skintest::Line().text("aero on=").decimal(on).write();
    return 0;
}
#endif

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[4 * MAX_PATH];
        const DWORD length = GetModuleFileNameW(self, path, static_cast<DWORD>(std::size(path)));
        skintest::Line().text("loaded ").text(win::narrow({path, length})).write();
    } else if (reason == DLL_PROCESS_DETACH) {
        // A null reserved pointer: FreeLibrary dropped the last reference;
        // otherwise the process is ending with the library still loaded.
        skintest::Line().text(reserved ? "detach at-exit" : "detach unloaded").write();
    }
    return TRUE;
}
