// Resource identifiers shared by the .rc files and the code that loads them.
#pragma once

#define IDI_MAIN 1

// The skinning library's file image and the built-in skins 1..33 (RCDATA).
#define IDR_SKIN_LIBRARY 100
#define IDR_SKIN_FIRST 200  // skin n has the id IDR_SKIN_FIRST + n
