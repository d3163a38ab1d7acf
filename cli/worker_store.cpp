#include "worker_store.h"

#include "diff_store.h"
#include "file_store_layer.h"
#include "layered_file_store.h"
#include "save_layers.h"

namespace quillmere {
namespace {

// Loads through another store and saves nothing: a save checks that the
// file could be saved.
class DryRunFileStore final : public FileStoreLayer {
 public:
  explicit DryRunFileStore(FileStore& store) : FileStoreLayer(store) {}

  // What a run would start from; nothing is put back or removed.
  LoadedFile Load(const std::string& path) override { return inner().Peek(path); }

  std::optional<FileError> Save(const std::string& path, const std::string&) override {
    return inner().CheckSave(path);
  }
  std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }
};

}  // namespace

std::unique_ptr<FileStore> MakeWorkerStore(const CliCommand& command, FileStore& base,
                                           RunJournal* journal, FileNotes& notes, bool colourDiff) {
  auto store = std::make_unique<LayeredFileStore>(base);
  if (command.diff) {
    store->Add<DiffFileStore>(colourDiff, command.dryRun || command.check, command.options.encoding,
                              [&notes](std::string diff) {
                                notes.push_back({FileNote::Kind::kDiff, {}, std::move(diff)});
                              });
    return store;
  }
  if (command.dryRun || command.check) {
    store->Add<DryRunFileStore>();
    return store;
  }
  AddSaveLayers(*store, command.keepTimes, journal,
                {[&notes](const std::string&, const FileError& error) {
                   notes.push_back({FileNote::Kind::kTimesNotKept, error, {}});
                 },
                 [&notes](const std::string&, const FileError& why) {
                   notes.push_back({FileNote::Kind::kNoUndoCopy, why, {}});
                 }});
  return store;
}

}  // namespace quillmere
