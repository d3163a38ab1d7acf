#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "window_services.h"

namespace quillmere {

// The box of a file that failed during a run: the message as its first line,
// the reason below it, the warning icon, OK the default button, and "Stop
// the run" and "Don't show again in this run" beside it; Escape answers as
// OK. A key held down since before the box appeared does not answer it.
FailureAnswer ShowFileErrorBox(HWND owner, const std::wstring& text, const std::wstring& details);

}  // namespace quillmere
