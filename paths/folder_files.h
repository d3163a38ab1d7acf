#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// The files in a folder tree whose names match the text and HTML patterns
// (*.htm, *.html, *.txt, in any letter case), one at a time so that a caller
// can keep its window alive between them. Links to folders are not followed,
// so no tree is walked twice; folders that cannot be read are passed over.
class FolderFiles {
 public:
  explicit FolderFiles(const std::string& folder);

  // The next matching file's path, or nothing at the end.
  std::optional<std::string> Next();

 private:
  std::filesystem::recursive_directory_iterator at_;
};

// Whether the name ends in one of the text and HTML patterns.
bool IsTextOrHtmlName(const std::string& name);

// Whether the path names a folder (following links).
bool IsFolder(const std::string& path);

}  // namespace quillmere
