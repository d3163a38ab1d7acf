#pragma once

#include "file_error.h"

namespace quillmere::on_linux {

// The problem a system error number stands for.
FileError ErrorFromErrno(int error);

}  // namespace quillmere::on_linux
