#pragma once

#include <optional>
#include <string>

#include "file_error.h"

namespace quillmere {

// One entry of a run's list: a path, and the reason it cannot be cleaned
// when the front end knows that already (a folder it could not read).
struct RunItem {
  std::string path;
  std::optional<FileError> error;
};

}  // namespace quillmere
