#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

// The About box, template 100, run modally over its owner, centred on it;
// OK, Enter, Escape and the close box end it. F1 in it shows the help boxes.
void ShowAboutBox(HWND owner);

}  // namespace quillmere
