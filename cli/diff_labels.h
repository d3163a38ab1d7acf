#pragma once

#include <string>

#include "file_store.h"

namespace quillmere {

// The label of a file in a diff's "---" or "+++" line as GNU diff writes
// it: the name (in double quotes with C escapes, as git writes it, when it
// holds a control character, a quote or a backslash), a tab, and the time
// "2026-12-08 16:33:12.123456789 +0000" in local time (UTC on Windows).
std::string DiffLabel(const std::string& name, const Timestamp& time);

// The time now, for the label of what a file would become.
Timestamp TimeNow();

}  // namespace quillmere
