#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

#include "test_files.h"

namespace quillmere::test {

struct stat StatOf(const std::string& path);
struct stat LstatOf(const std::string& path);

// Runs `body` in a child process as `user` (and group), also a member of
// `group`; its result is the child's exit status.
int AsUser(uid_t user, gid_t group, const std::function<bool()>& body);

}  // namespace quillmere::test
