#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "file_store.h"

namespace quillmere::test {

// Files held in memory, with scripted failures; records every load and save.
// Each path is its own file unless `aliases` maps it to another path.
class MemoryFileStore : public FileStore {
 public:
  LoadedFile Load(const std::string& path) override;
  // As Load, recorded apart.
  LoadedFile Peek(const std::string& path) override;
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;
  std::optional<FileError> CheckSave(const std::string& path) override;
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override;
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override;
  std::optional<FileKey> KeyOf(const std::string& path) override;
  void Flush() override { ++flushes; }

  std::map<std::string, std::string> files;
  std::map<std::string, std::string> aliases;  // another name -> the file's path
  std::map<std::string, FileStamp> stamps;     // by file; the size is the text's
  std::set<std::string> failSave;              // Save and CheckSave fail: read-only
  std::set<std::string> restoreOnLoad;         // loads as restored from a recovery copy
  std::set<std::string> throwOnLoad;           // Load throws std::bad_alloc
  // A save gives the file a new number, as a save by rename does, and runs
  // `afterSave` (where a test plays another program).
  bool newKeyOnSave = false;
  std::function<void(const std::string& file)> afterSave;
  std::map<std::string, FileKey> keys;  // by file, where not its place in `files`
  std::vector<std::string> loads;
  std::vector<std::string> peeks;
  std::vector<std::string> saves;
  std::vector<std::string> checks;
  int flushes = 0;

 private:
  const std::string& FileOf(const std::string& path) const;
  LoadedFile Read(const std::string& path);

  std::uint64_t renumbered_ = 0;
};

}  // namespace quillmere::test
