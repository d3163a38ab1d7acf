#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "file_error.h"

namespace quillmere::on_windows {

// The problem a Windows error code stands for.
FileError ErrorFromWin32(DWORD error);
// The problem of the calling thread's last error.
FileError LastWin32Error();

}  // namespace quillmere::on_windows
