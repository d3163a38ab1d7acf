#pragma once

#include <string>

#include "folder_entries.h"

namespace quillmere {

// Whether the name ends in one of the text and HTML patterns.
bool IsTextOrHtmlName(const std::string& name);

}  // namespace quillmere
