#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>

namespace quillmere {

// The box of the code page of older files: the offered code pages as radio
// buttons, `current` chosen, OK and Cancel. The chosen name (empty for the
// system's own), or nothing when the user cancelled.
std::optional<std::string> ShowCodePageBox(HWND owner, const std::string& current);

}  // namespace quillmere
