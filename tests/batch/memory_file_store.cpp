#include "memory_file_store.h"

#include <new>

namespace quillmere::test {

LoadedFile MemoryFileStore::Load(const std::string& path) {
  loads.push_back(path);
  if (throwOnLoad.contains(path)) throw std::bad_alloc();
  const auto found = files.find(path);
  if (found == files.end()) return {};
  return {LoadStatus::kOk, found->second};
}

bool MemoryFileStore::Save(const std::string& path, const std::string& text) {
  saves.push_back(path);
  if (failSave.contains(path) || !files.contains(path)) return false;
  files[path] = text;
  return true;
}

}  // namespace quillmere::test
