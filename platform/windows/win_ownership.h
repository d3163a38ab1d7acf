#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "file_system.h"

namespace quillmere::on_windows {

// Who owns the file or folder open as `handle`, which was opened with
// READ_CONTROL. Access lists are not examined: othersMayWrite and
// othersMayRename stay false.
[[nodiscard]] Result<Ownership> OwnershipOf(HANDLE handle);

}  // namespace quillmere::on_windows
