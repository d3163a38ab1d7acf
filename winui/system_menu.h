#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

// Appends a separator and the About item (string 101, when it is not empty)
// to the window's system menu, then grays the items at positions 1, 2 and 4
// (Move, Size and Maximize in the standard menu). False when the window has
// no system menu.
bool InstallSystemMenu(HWND window);

}  // namespace quillmere
