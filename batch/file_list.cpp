#include "file_list.h"

namespace quillmere {

bool FileList::Add(const std::string& path) {
  if (listed_.contains(path)) return false;
  paths_.push_front(path);
  listed_.insert(paths_.front());
  return true;
}

void FileList::Clear() {
  listed_.clear();
  paths_.clear();
}

}  // namespace quillmere
