#pragma once

#include <string>
#include <vector>

#include "result.h"

namespace quillmere {

// What a name in a folder stands for.
enum class EntryKind {
  kFile,          // a file, a link to one, a dangling link or anything else not a folder
  kFolder,        // a folder itself
  kLinkToFolder,  // a link or junction that leads to a folder
};

struct FolderEntry {
  std::string name;  // bytes (UTF-8 on Windows)
  EntryKind kind = EntryKind::kFile;
  bool validName = true;  // false: a Windows name with a lone surrogate, not reachable as bytes
};

// The entries of the folder at `path` (as the stores take paths, of any
// length), "." and ".." left out, in the system's order; or why it cannot be
// read.
Result<std::vector<FolderEntry>> ReadFolder(const std::string& path);

// Whether the path names a folder (following links), at any length.
bool IsFolder(const std::string& path);

}  // namespace quillmere
