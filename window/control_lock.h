#pragma once

#include <vector>

#include "window_services.h"

namespace quillmere {

// The controls a run or a drop disables, in the order they are disabled:
// the buttons, the option check boxes and edit fields in the order of their
// ids, and the file list. START and the group labels are handled apart.
std::vector<int> LockedControls();

// Disables the locked set in order; with `alsoStart`, START right after the
// file list; then the group labels.
void LockControls(WindowServices& window, bool alsoStart);

// Enables the locked set in order, captions START "START" and enables it,
// then enables the group labels.
void RestoreControls(WindowServices& window);

}  // namespace quillmere
