#pragma once

#include <string>

#include "dialog_template.h"

namespace quillmere {

// The window templates and the string table as a Windows resource script,
// so the native window is built by the system's dialog manager from the same
// data as every other front end. Styles are written by their names; the
// script includes <windows.h> and <commctrl.h>. Throws std::invalid_argument
// for what a script cannot say: a style bit the kind of control does not
// take, or a text that is not plain ASCII.
std::string DialogScript(const DialogTemplate& dialog);
std::string StringTableScript();

}  // namespace quillmere
