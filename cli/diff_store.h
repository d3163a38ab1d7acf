#pragma once

#include <functional>
#include <string>

#include "cleaning_options.h"
#include "file_store_layer.h"

namespace quillmere {

// Loads through another store and writes nothing: a save hands the change
// it would make to `show` as a unified diff (and, with `checkSaves`, first
// checks that the file could be saved). The diff names the file by the path
// as given, and shows the text of a UTF-16 or code page file as UTF-8
// (`encoding`: the run's choice).
class DiffFileStore final : public FileStoreLayer {
 public:
  DiffFileStore(FileStore& store, bool colour, bool checkSaves, EncodingChoice encoding,
                std::function<void(std::string diff)> show)
      : FileStoreLayer(store),
        colour_(colour),
        checkSaves_(checkSaves),
        encoding_(std::move(encoding)),
        show_(std::move(show)) {}

  LoadedFile Load(const std::string& path) override;
  [[nodiscard]] std::optional<FileError> Save(const std::string& path,
                                              const std::string& text) override;
  [[nodiscard]] std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }

 private:
  bool colour_;
  bool checkSaves_;
  EncodingChoice encoding_;
  std::function<void(std::string)> show_;
  std::string loadedPath_;
  std::string loadedText_;
};

// Whether this build can print differences (it needs libgit2).
bool DiffAvailable();

}  // namespace quillmere
