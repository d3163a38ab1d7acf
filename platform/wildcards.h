#pragma once

#include <string>
#include <vector>

#include "result.h"

namespace quillmere {

// The paths a file argument stands for. On Windows, where the shell leaves
// `*` and `?` to the program, a pattern in the argument's last name becomes
// the files in its folder whose names match, sorted byte by byte, and a
// pattern that matches nothing is an error; an argument without one, or one
// that names an existing item, stays as it is. Elsewhere the shell has done
// that already: the argument stays as it is.
Result<std::vector<std::string>> FilesNamedBy(const std::string& argument);

}  // namespace quillmere
