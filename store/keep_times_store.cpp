#include "keep_times_store.h"

#include <utility>

namespace quillmere {

LoadedFile KeepTimesFileStore::Load(const std::string& path) {
  if (inner().StampsLoads()) {
    LoadedFile loaded = inner().Load(path);
    before_ = Before{path, loaded.stamp, loaded.error.value_or(FileError{})};
    return loaded;
  }
  // Taken before the file is read, which may set its time of last access.
  Before before{path, FileStamp{}, {}};
  if (std::optional<FileError> error = inner().Stamp(path, *before.stamp)) {
    before.stamp.reset();
    before.error = std::move(*error);
  }
  before_ = std::move(before);
  return inner().Load(path);
}

std::optional<FileError> KeepTimesFileStore::Save(const std::string& path,
                                                  const std::string& text) {
  std::optional<Before> before = std::move(before_);
  before_.reset();
  std::optional<FileError> error = inner().Save(path, text);
  if (error) return error;
  GiveTimesBack(path, before);
  return std::nullopt;
}

void KeepTimesFileStore::SaveInBatch(const std::string& path, const std::string& text,
                                     SaveDone done) {
  std::optional<Before> before = std::move(before_);
  before_.reset();
  inner().SaveInBatch(path, text,
                      [this, path, before = std::move(before),
                       done = std::move(done)](std::optional<FileError> error) {
                        if (!error) GiveTimesBack(path, before);
                        done(std::move(error));
                      });
}

void KeepTimesFileStore::GiveTimesBack(const std::string& path,
                                       const std::optional<Before>& before) {
  std::optional<FileError> notKept;
  if (!before || before->path != path) {
    notKept = FileError{FileProblem::kSystemError, "its times were not taken before it was read"};
  } else if (!before->stamp) {
    notKept = before->error;
  } else {
    notKept = inner().Restamp(path, *before->stamp);
  }
  if (notKept && notKept_) notKept_(path, *notKept);
}

}  // namespace quillmere
