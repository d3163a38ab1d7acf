#include "worker_store.h"

#include <optional>
#include <vector>

#include "keep_times_store.h"

namespace quillmere {
namespace {

// Loads through another store and saves nothing: a save checks that the
// file could be saved.
class DryRunFileStore final : public FileStore {
 public:
  explicit DryRunFileStore(FileStore& store) : store_(store) {}

  LoadedFile Load(const std::string& path) override { return store_.Load(path); }
  std::optional<FileError> Save(const std::string& path, const std::string&) override {
    return store_.CheckSave(path);
  }
  std::optional<FileError> CheckSave(const std::string& path) override {
    return store_.CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return store_.Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }
  std::optional<FileKey> KeyOf(const std::string& path) override { return store_.KeyOf(path); }

 private:
  FileStore& store_;
};

// The layers over the base store; calls go to the top one.
class LayeredFileStore final : public FileStore {
 public:
  explicit LayeredFileStore(FileStore& base) : top_(&base) {}

  template <class Layer, class... Args>
  void Add(Args&&... args) {
    auto layer = std::make_unique<Layer>(*top_, std::forward<Args>(args)...);
    top_ = layer.get();
    layers_.push_back(std::move(layer));
  }

  LoadedFile Load(const std::string& path) override { return top_->Load(path); }
  std::optional<FileError> Save(const std::string& path, const std::string& text) override {
    return top_->Save(path, text);
  }
  std::optional<FileError> CheckSave(const std::string& path) override {
    return top_->CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return top_->Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override {
    return top_->Restamp(path, stamp);
  }
  std::optional<FileKey> KeyOf(const std::string& path) override { return top_->KeyOf(path); }
  void Flush() override { top_->Flush(); }

 private:
  FileStore* top_;
  std::vector<std::unique_ptr<FileStore>> layers_;
};

}  // namespace

std::unique_ptr<FileStore> MakeWorkerStore(const CliCommand& command, FileStore& base,
                                           RunJournal* journal, FileNotes& notes) {
  auto store = std::make_unique<LayeredFileStore>(base);
  if (command.dryRun) {
    store->Add<DryRunFileStore>();
    return store;
  }
  // The journal records the times the file is left with, so it goes on top.
  if (command.keepTimes) {
    store->Add<KeepTimesFileStore>([&notes](const std::string&, const FileError& error) {
      notes.push_back({FileNote::Kind::kTimesNotKept, error});
    });
  }
  if (journal != nullptr) {
    store->Add<JournaledFileStore>(*journal, [&notes](const std::string&) {
      notes.push_back({FileNote::Kind::kNoUndoCopy, {}});
    });
  }
  return store;
}

}  // namespace quillmere
