// Entry point of Tesmarin.exe.
#include "ui/main_window.h"

#ifdef TESMARIN_HAS_SKIN
#include "skin/skin_startup.h"
#endif

#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int exitCode = -1;
    try {
#ifdef TESMARIN_HAS_SKIN
        // Before any window: the run directory becomes the current directory.
        skin::prepareRunDirectory();
#endif
        exitCode = ui::runMainWindow(instance);
    } catch (...) {
        // Out of memory while starting up: nothing sensible is left to show.
    }
#ifdef TESMARIN_HAS_SKIN
    skin::releaseSkinLibrary();
#endif
    return exitCode;
}

// The default terminate handler prints the type of an escaped exception and
// drags the whole C++ name demangler (some 45 KB) into the program. Nothing
// reads stderr of a GUI program, so a plain abort does the same job.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
