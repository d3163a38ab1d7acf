#pragma once

#include <cstddef>

namespace quillmere {

// Asks the system to back the memory at `data` (`size` bytes, not yet
// touched) with large pages where it can: a text of many megabytes is then
// faulted in and cleared a few hundred times instead of many thousand. Only a
// hint; where there is no such thing it does nothing.
void PreferLargePages(char* data, std::size_t size);

}  // namespace quillmere
