#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "file_store.h"

namespace quillmere::test {

// Files held in memory, with scripted failures; records every load and save.
class MemoryFileStore : public FileStore {
 public:
  LoadedFile Load(const std::string& path) override;
  bool Save(const std::string& path, const std::string& text) override;
  void Flush() override { ++flushes; }

  std::map<std::string, std::string> files;
  std::set<std::string> failSave;
  std::set<std::string> throwOnLoad;  // Load throws std::bad_alloc
  std::vector<std::string> loads;
  std::vector<std::string> saves;
  int flushes = 0;
};

}  // namespace quillmere::test
