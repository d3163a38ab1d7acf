#include "window_journal.h"

#include <algorithm>
#include <utility>

#include "save_layers.h"

namespace quillmere {
namespace {

// A worker's base store with the run's journal over it, owned together.
class JournaledWorkerStore final : public FileStoreLayer {
 public:
  JournaledWorkerStore(std::unique_ptr<FileStore> base, RunJournal& journal,
                       JournaledFileStore::NotKept notKept)
      : FileStoreLayer(*base),
        base_(std::move(base)),
        journaled_(*base_, journal, std::move(notKept)) {
    SetInner(journaled_);
  }
  void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) override {
    ForwardSaveInBatch(path, text, std::move(done));
  }

 private:
  std::unique_ptr<FileStore> base_;
  JournaledFileStore journaled_;
};

}  // namespace

WindowJournal::WindowJournal(FileStore& files)
    : WindowJournal(files, DefaultRunsFolder(), DefaultJournalLimit(DefaultRunsFolder())) {}

WindowJournal::WindowJournal(FileStore& files, std::filesystem::path folder,
                             std::uint64_t byteLimit)
    : files_(files), journals_(std::move(folder), byteLimit), journal_(journals_), saving_(files) {
  AddSaveLayers(saving_, false, &journal_,
                {{}, [this](const std::string&, const FileError&) { ++notKept_; }});
}

std::unique_ptr<FileStore> WindowJournal::WorkerStore(std::unique_ptr<FileStore> base) {
  return std::make_unique<JournaledWorkerStore>(
      std::move(base), journal_, [this](const std::string&, const FileError&) { ++notKept_; });
}

void WindowJournal::StartRun() {
  if (const std::optional<std::string> last = journal_.run()) ownRuns_.push_back(*last);
  journal_.Restart();
  notKept_ = 0;
}

std::optional<RunRecord> WindowJournal::LastRun() {
  std::vector<std::string> own = ownRuns_;
  if (const std::optional<std::string> current = journal_.run()) own.push_back(*current);
  if (own.empty()) return LastRunToUndo(journals_);
  for (const RunRecord& run : journals_.List()) {
    const bool ours = std::find(own.begin(), own.end(), run.id) != own.end();
    if (ours && !run.undone && run.files > 0) return run;
  }
  return std::nullopt;
}

std::vector<std::string> WindowJournal::FilesOf(const std::string& run, int count) {
  std::vector<std::string> files;
  Result<std::unique_ptr<RunFolder>> folder = journals_.OpenRun(run);
  if (!folder.has_value()) return files;
  Result<std::vector<JournalEntry>> entries = (*folder)->Entries();
  if (!entries.has_value()) return files;
  for (auto it = entries->rbegin(); it != entries->rend() && static_cast<int>(files.size()) < count;
       ++it) {
    if (!it->undone) files.push_back(it->path);
  }
  return files;
}

std::vector<UndoneFile> WindowJournal::Undo(const std::string& run, const UndoProgress& progress) {
  // Undo saves through the store itself: putting files back starts no run.
  return UndoRun(files_, journals_, run, nullptr, progress);
}

}  // namespace quillmere
