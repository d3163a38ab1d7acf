#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "file_store.h"

namespace quillmere {

// A file store that gives each file it saves back the times of last access
// and of last change it had before it was loaded. Where that fails, the file
// stays saved and `notKept` is told why.
class KeepTimesFileStore final : public FileStore {
 public:
  KeepTimesFileStore(FileStore& store,
                     std::function<void(const std::string& path, const FileError& error)> notKept)
      : store_(store), notKept_(std::move(notKept)) {}

  LoadedFile Load(const std::string& path) override;
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;
  std::optional<FileError> CheckSave(const std::string& path) override {
    return store_.CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return store_.Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override {
    return store_.Restamp(path, stamp);
  }
  std::optional<FileKey> KeyOf(const std::string& path) override { return store_.KeyOf(path); }
  void Flush() override { store_.Flush(); }

 private:
  struct Before {
    std::string path;
    std::optional<FileStamp> stamp;  // nothing when it could not be taken
    FileError error;
  };

  FileStore& store_;
  std::function<void(const std::string&, const FileError&)> notKept_;
  std::optional<Before> before_;  // the file loaded last
};

}  // namespace quillmere
