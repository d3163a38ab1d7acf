#pragma once

#include <functional>
#include <string>

#include "file_store_layer.h"

namespace quillmere {

// Loads through another store and writes nothing: a save hands the change
// it would make to `show` as a unified diff (and, with `checkSaves`, first
// checks that the file could be saved). The diff names the file by the path
// as given.
class DiffFileStore final : public FileStoreLayer {
 public:
  DiffFileStore(FileStore& store, bool colour, bool checkSaves,
                std::function<void(std::string diff)> show)
      : FileStoreLayer(store), colour_(colour), checkSaves_(checkSaves), show_(std::move(show)) {}

  LoadedFile Load(const std::string& path) override;
  [[nodiscard]] std::optional<FileError> Save(const std::string& path,
                                              const std::string& text) override;
  [[nodiscard]] std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }

 private:
  bool colour_;
  bool checkSaves_;
  std::function<void(std::string)> show_;
  std::string loadedPath_;
  std::string loadedText_;
};

// Whether this build can print differences (it needs libgit2).
bool DiffAvailable();

}  // namespace quillmere
