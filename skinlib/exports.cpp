// The two functions the program calls, with the standard Windows calling
// convention and plain names (skinlib.def). The library is built without
// exceptions, so none can leave them or any window procedure.
#include "skin_window.h"

#include <windows.h>

extern "C" {

int __stdcall SkinH_AttachRes(const unsigned char* data, int size, const char* text, int a, int b,
                                                    int c) {
    // The text and the three numbers have no meaning in this library.
    (void)text;
    (void)a;
    (void)b;
    (void)c;
    return skinlib::attachSkin(data, size);
}

int __stdcall SkinH_SetAero(int on) {
    return skinlib::setAero(on);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // On FreeLibrary (reserved is null) windows may still be subclassed: give
    // them their own procedures back. At process exit nothing needs undoing.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        skinlib::detachAll();
    }
    return TRUE;
}

}  // extern "C"
