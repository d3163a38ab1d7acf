#pragma once

#include <sys/stat.h>

#include <string>

#include "posix_syscalls.h"

namespace quillmere::detail {

enum class ReplaceResult {
  kDone,
  kFailed,      // the file is as it was
  kNoTempFile,  // the folder takes no new file; the file is as it was
};

// Writes `text` to a new file beside `target` (a resolved path to a regular
// file whose status is `original`), gives it the original's owner and
// permission bits, flushes it and renames it over `target`. The folder is
// not synced: the caller does that, once for many saves.
ReplaceResult ReplaceByRename(PosixSyscalls& sys, const std::string& target,
                              const struct stat& original, const std::string& text);

// Overwrites the content of `target` in place, for a file that must stay the
// same file (it has other hard links, or its folder takes no new file).
// `originalFd` is the locked file opened for reading. Space is reserved before
// anything is written; if a write still fails, the old content is put back.
bool OverwriteInPlace(PosixSyscalls& sys, const std::string& target, int originalFd,
                      const struct stat& original, const std::string& text);

}  // namespace quillmere::detail
