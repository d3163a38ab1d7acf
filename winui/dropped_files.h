#pragma once

#include <string>
#include <vector>

#include "win32_api.h"

namespace quillmere {

// The paths of a shell drop, whole whatever their length, in UTF-8. A name
// that is no valid UTF-16 (a lone surrogate) has no UTF-8 form and is left
// out rather than cut or replaced, which could name another file.
std::vector<std::string> DroppedPaths(HDROP drop);

}  // namespace quillmere
