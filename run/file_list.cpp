#include "file_list.h"

#include <algorithm>

namespace quillmere {

bool FileList::Add(const std::string& path) {
  if (listed_.contains(path)) return false;
  paths_.push_front(path);
  listed_.insert(paths_.front());
  return true;
}

void FileList::Remove(const std::vector<std::string>& paths) {
  const std::unordered_set<std::string_view> gone(paths.begin(), paths.end());
  // Erasing inside a deque moves its elements, so the views are made anew.
  listed_.clear();
  std::erase_if(paths_, [&](const std::string& path) { return gone.contains(path); });
  for (const std::string& path : paths_) listed_.insert(path);
}

void FileList::Clear() {
  listed_.clear();
  paths_.clear();
}

}  // namespace quillmere
