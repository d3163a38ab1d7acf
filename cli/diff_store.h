#pragma once

#include <iosfwd>
#include <string>

#include "file_store.h"

namespace quillmere {

// Loads through another store and writes nothing: a save prints the change
// it would make as a unified diff. With a `list`, as a dry run does, it first
// checks that the file could be saved and names it there. The diff names the
// file by the path as given.
class DiffFileStore final : public FileStore {
 public:
  DiffFileStore(FileStore& store, std::ostream& out, bool colour, std::ostream* list)
      : store_(store), out_(out), colour_(colour), list_(list) {}

  LoadedFile Load(const std::string& path) override;
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;
  std::optional<FileError> CheckSave(const std::string& path) override {
    return store_.CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return store_.Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }

 private:
  FileStore& store_;
  std::ostream& out_;
  bool colour_;
  std::ostream* list_;
  std::string loadedPath_;
  std::string loadedText_;
};

// Whether this build can print differences (it needs libgit2).
bool DiffAvailable();

}  // namespace quillmere
