#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

// Centres the window over `over`, or over the work area of its monitor when
// `over` is none, keeping it on that work area.
void CentreWindow(HWND window, HWND over);

}  // namespace quillmere
