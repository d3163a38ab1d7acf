#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace quillmere {

// The text without the characters that the ANSI code page lacks.
std::wstring AnsiCharactersOf(const std::wstring& text);

// The cleaning texts are matched against the files' bytes in the ANSI code
// page, where a character it lacks could only stand as a wrong one. Called on
// each change of an edit field: removes such characters, typed or pasted,
// keeps the caret where it was and beeps. True when something was removed.
bool KeepAnsiText(HWND edit);

}  // namespace quillmere
