#include "folder_files.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "native_path.h"

namespace quillmere {
namespace {

bool EndsWithIgnoringCase(const std::string& name, const std::string& ending) {
  if (name.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), name.end() - static_cast<long>(ending.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

bool IsTextOrHtmlName(const std::string& name) {
  return EndsWithIgnoringCase(name, ".htm") || EndsWithIgnoringCase(name, ".html") ||
         EndsWithIgnoringCase(name, ".txt");
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(NativePath(path), error);
}

FolderFiles::FolderFiles(const std::string& folder) {
  std::error_code error;
  at_ = std::filesystem::recursive_directory_iterator(
      std::filesystem::path(folder), std::filesystem::directory_options::skip_permission_denied,
      error);
}

std::optional<std::string> FolderFiles::Next() {
  const std::filesystem::recursive_directory_iterator end;
  while (at_ != end) {
    const std::filesystem::directory_entry entry = *at_;
    std::error_code error;
    at_.increment(error);
    if (error) at_ = end;  // an unreadable folder ends the walk rather than looping
    if (!entry.is_regular_file(error)) continue;
    if (IsTextOrHtmlName(entry.path().filename().string())) return entry.path().string();
  }
  return std::nullopt;
}

}  // namespace quillmere
