#pragma once

#include <sys/stat.h>

#include <string>

#include "test_files.h"

namespace quillmere::test {

struct stat StatOf(const std::string& path);
struct stat LstatOf(const std::string& path);

}  // namespace quillmere::test
