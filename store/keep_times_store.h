#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "file_store_layer.h"

namespace quillmere {

// A file store that gives each file it saves back the times of last access
// and of last change it had before it was loaded. Where that fails, the file
// stays saved and `notKept` is told why.
class KeepTimesFileStore final : public FileStoreLayer {
 public:
  KeepTimesFileStore(FileStore& store,
                     std::function<void(const std::string& path, const FileError& error)> notKept)
      : FileStoreLayer(store), notKept_(std::move(notKept)) {}

  LoadedFile Load(const std::string& path) override;
  [[nodiscard]] std::optional<FileError> Save(const std::string& path,
                                              const std::string& text) override;
  // The times go back once the save held back is done.
  void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) override;

 private:
  struct Before {
    std::string path;
    std::optional<FileStamp> stamp;  // nothing when it could not be taken
    FileError error;
  };

  // Gives the saved file the times taken before it was loaded.
  void GiveTimesBack(const std::string& path, const std::optional<Before>& before);

  std::function<void(const std::string&, const FileError&)> notKept_;
  std::optional<Before> before_;  // the file loaded last
};

}  // namespace quillmere
