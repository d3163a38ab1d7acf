#pragma once

#include "file_error.h"

namespace quillmere::detail {

// The problem a system error number stands for.
FileError ErrorFromErrno(int error);

}  // namespace quillmere::detail
