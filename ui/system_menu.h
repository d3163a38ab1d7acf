#pragma once

class QWidget;

namespace quillmere {

// Appends a separator and the About item (string 101, when not empty) to the
// window's system menu and grays Move, Size and Maximize. Returns false where
// the window has no system menu (every platform but Windows).
bool InstallSystemMenu(QWidget& window);

}  // namespace quillmere
