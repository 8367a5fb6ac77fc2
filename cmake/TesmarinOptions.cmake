# Settings shared by every target of the project, through the INTERFACE target
# tesmarin_options (link it PRIVATE).
add_library(tesmarin_options INTERFACE)
target_compile_features(tesmarin_options INTERFACE cxx_std_20)
target_compile_options(tesmarin_options INTERFACE
    $<$<COMPILE_LANGUAGE:CXX,C>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
        -finput-charset=UTF-8 -fexec-charset=UTF-8>)

if(TESMARIN_WINDOWS)
    # Unicode Win32 API only; Windows 7 is the oldest system we target.
    target_compile_definitions(tesmarin_options INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # One self-contained file each: no libgcc, libstdc++ or winpthread DLL beside them.
    # (directory-wide, so GoogleTest's programs are linked the same way)
    add_link_options(-static)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
elseif(TESMARIN_FUZZ)
    # Every library is instrumented for coverage; only the fuzz targets link libFuzzer's main.
    target_compile_options(tesmarin_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tesmarin_options INTERFACE -fsanitize=address,undefined)
elseif(TESMARIN_SANITIZE)
    target_compile_options(tesmarin_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tesmarin_options INTERFACE -fsanitize=address,undefined)
endif()
