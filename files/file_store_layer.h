#pragma once

#include <optional>
#include <string>
#include <utility>

#include "file_store.h"

namespace quillmere {

// A store over another: every call goes through to it, but those a layer
// changes (a journal, kept times, a dry run).
class FileStoreLayer : public FileStore {
 public:
  explicit FileStoreLayer(FileStore& inner) : inner_(&inner) {}

  LoadedFile Load(const std::string& path) override { return inner_->Load(path); }
  LoadedFile Peek(const std::string& path) override { return inner_->Peek(path); }
  [[nodiscard]] std::optional<FileError> Save(const std::string& path,
                                              const std::string& text) override {
    return inner_->Save(path, text);
  }
  [[nodiscard]] std::optional<FileError> CheckSave(const std::string& path) override {
    return inner_->CheckSave(path);
  }
  [[nodiscard]] std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return inner_->Stamp(path, stamp);
  }
  [[nodiscard]] std::optional<FileError> Restamp(const std::string& path,
                                                 const FileStamp& stamp) override {
    return inner_->Restamp(path, stamp);
  }
  std::optional<FileKey> KeyOf(const std::string& path) override { return inner_->KeyOf(path); }
  bool StampsLoads() override { return inner_->StampsLoads(); }
  void Flush() override { inner_->Flush(); }
  // A layer saves through its own Save, one file at a time, unless it
  // holds its work back with the saves (ForwardSaveInBatch).
  bool BatchFull() override { return inner_->BatchFull(); }
  void CommitAfter(const BeforeReplacing& beforeReplacing) override {
    inner_->CommitAfter(beforeReplacing);
  }

 protected:
  FileStore& inner() { return *inner_; }
  // For a layer that changes no save: saves held back go to the store below.
  void ForwardSaveInBatch(const std::string& path, const std::string& text, SaveDone done) {
    inner_->SaveInBatch(path, text, std::move(done));
  }
  void SetInner(FileStore& inner) { inner_ = &inner; }

 private:
  FileStore* inner_;
};

}  // namespace quillmere
