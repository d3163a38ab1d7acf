#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

// Has screen readers read the control's text now, without moving the focus:
// the control is marked a polite live region (once) and its change is
// reported as such.
void AnnounceLiveRegion(HWND control);

}  // namespace quillmere
