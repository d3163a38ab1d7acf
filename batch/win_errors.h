#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "file_error.h"

namespace quillmere::detail {

// The problem a Windows error code stands for.
FileError ErrorFromWin32(DWORD error);
// The problem of the calling thread's last error.
FileError LastWin32Error();

// A path or name in UTF-16, or nothing when its bytes do not name exactly
// one path in the ANSI code page: a NUL byte would end it early, and bytes
// that are no character of the code page would be replaced by ones that
// name another file.
std::optional<std::wstring> Widen(const std::string& text);
// The ANSI form of a name, or nothing when a character has none.
std::optional<std::string> Narrow(const std::wstring& text);

}  // namespace quillmere::detail
