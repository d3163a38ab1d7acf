#include "undo_run.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "file_content.h"

namespace quillmere {
namespace {

bool SameFile(const FileKey& run, const FileKey& now) {
  return run.device == now.device && run.id == now.id &&
         (run.birth == 0 || now.birth == 0 || run.birth == now.birth);
}

// The run's folder, shared by the workers of an undo one call at a time.
class SharedRun {
 public:
  explicit SharedRun(RunFolder& run) : run_(run) {}
  Result<std::string> OldContent(const JournalEntry& entry) {
    const std::lock_guard lock(mutex_);
    return run_.OldContent(entry);
  }
  MaybeError MarkUndoing(int number) {
    const std::lock_guard lock(mutex_);
    return run_.MarkUndoing(number);
  }
  MaybeError MarkUndone(int number) {
    const std::lock_guard lock(mutex_);
    return run_.MarkUndone(number);
  }

 private:
  std::mutex mutex_;
  RunFolder& run_;
};

// What putting an entry's file back takes: its old content, and the mode
// and times to give it.
struct PutBack {
  std::string old;
  FileStamp stamp;
};

// What the entry's file needs: nothing when it is back already (then it is
// marked undone), or why it is left alone.
Result<std::optional<PutBack>> Plan(FileStore& store, SharedRun& run, const JournalEntry& entry) {
  if (!entry.kept) return FileError{FileProblem::kNotFound, "no undo copy was kept"};
  Result<std::string> old = run.OldContent(entry);
  if (!old.has_value()) return old.error();
  // A load first puts back what an interrupted save left, an undo's own
  // rewrite in place included.
  const LoadedFile current = store.Load(entry.path);
  if (!current.ok()) return *current.error;
  FileStamp now;
  if (std::optional<FileError> error = store.Stamp(entry.path, now)) return *error;
  if (current.text == *old) {
    // Back already: an undo killed after its save, or a save the run never
    // made. Its mode and times go back too where the undo had begun.
    if (entry.undoing) {
      if (std::optional<FileError> error = store.Restamp(entry.path, entry.before)) return *error;
    }
    if (MaybeError error = run.MarkUndone(entry.number)) return *error;
    return std::optional<PutBack>();
  }
  if (entry.afterKey && !SameFile(*entry.afterKey, current.key)) {
    return FileError{FileProblem::kChanged, "replaced since the run"};
  }
  if (now.size != entry.afterSize || ContentHash(current.text) != entry.afterHash) {
    return FileError{FileProblem::kChanged, "since the run"};
  }
  // Mode and times go back only where they are still what the run left (or
  // what an undo begun and killed left).
  FileStamp back = entry.before;
  const bool modeStill = !entry.afterMode || now.mode == *entry.afterMode;
  const bool timesStill = entry.pending || entry.undoing || now.modified == entry.afterModified;
  if (!modeStill) back.mode = now.mode;
  if (!timesStill) {
    back.accessed = now.accessed;
    back.modified = now.modified;
  }
  if (MaybeError error = run.MarkUndoing(entry.number)) return *error;
  return std::optional<PutBack>(PutBack{std::move(*old), back});
}

// After the old content's save: the mode and times, and the mark.
std::optional<FileError> Finish(FileStore& store, SharedRun& run, const JournalEntry& entry,
                                const FileStamp& back, std::optional<FileError> saved) {
  if (saved) return saved;
  if (std::optional<FileError> error = store.Restamp(entry.path, back)) {
    std::string detail = "its old content is back, but not its mode and times";
    if (!error->detail.empty()) detail += ": " + error->detail;
    return FileError{error->problem, detail};
  }
  return run.MarkUndone(entry.number);
}

// Undoes one entry; nothing when its file is back (or was already).
std::optional<FileError> UndoEntry(FileStore& store, SharedRun& run, const JournalEntry& entry) {
  Result<std::optional<PutBack>> plan = Plan(store, run, entry);
  if (!plan.has_value()) return plan.error();
  if (!*plan) return std::nullopt;
  return Finish(store, run, entry, (*plan)->stamp, store.Save(entry.path, (*plan)->old));
}

// The same with the save held back as the store batches it: `done` gets
// the result once the file is done.
void UndoEntryInBatch(FileStore& store, SharedRun& run, const JournalEntry& entry,
                      const std::function<void(std::optional<FileError>)>& done) {
  Result<std::optional<PutBack>> plan = Plan(store, run, entry);
  if (!plan.has_value()) return done(plan.error());
  if (!*plan) return done(std::nullopt);
  store.SaveInBatch(
      entry.path, (*plan)->old,
      [&store, &run, &entry, stamp = (*plan)->stamp, done](std::optional<FileError> saved) {
        done(Finish(store, run, entry, stamp, std::move(saved)));
      });
}

// The run's folder and the entries still to undo, newest change first.
struct UndoWork {
  std::unique_ptr<RunFolder> folder;
  std::vector<JournalEntry> entries;
};

std::optional<UndoWork> Prepare(RunJournals& journals, const std::string& run,
                                std::optional<FileError>* error) {
  Result<std::unique_ptr<RunFolder>> folder = journals.OpenRun(run);
  Result<std::vector<JournalEntry>> entries =
      folder.has_value() ? (*folder)->Entries() : Result<std::vector<JournalEntry>>(folder.error());
  if (!entries.has_value()) {
    if (error != nullptr) *error = entries.error();
    return std::nullopt;
  }
  UndoWork work{std::move(*folder), {}};
  for (auto it = entries->rbegin(); it != entries->rend(); ++it) {
    if (!it->undone) work.entries.push_back(std::move(*it));
  }
  return work;
}

UndoneFile Undone(FileStore& store, SharedRun& run, const JournalEntry& entry) {
  UndoneFile result{entry.path, UndoEntry(store, run, entry), ""};
  if (result.error) result.reason = ReasonText(*result.error);
  return result;
}

}  // namespace

std::vector<UndoneFile> UndoRun(FileStore& store, RunJournals& journals, const std::string& run,
                                std::optional<FileError>* error, const UndoProgress& progress) {
  std::vector<UndoneFile> results;
  std::optional<UndoWork> work = Prepare(journals, run, error);
  if (!work) return results;
  SharedRun shared(*work->folder);
  const int total = static_cast<int>(work->entries.size());
  for (const JournalEntry& entry : work->entries) {
    results.push_back(Undone(store, shared, entry));
    if (progress && !progress(results.back(), static_cast<int>(results.size()), total)) break;
  }
  work->folder->Close();
  store.Flush();
  return results;
}

std::vector<UndoneFile> UndoRun(const UndoStoreMaker& makeStore, int workers, RunJournals& journals,
                                const std::string& run, std::optional<FileError>* error) {
  std::optional<UndoWork> work = Prepare(journals, run, error);
  if (!work) return {};
  SharedRun shared(*work->folder);
  std::vector<UndoneFile> results(work->entries.size());
  std::atomic<std::size_t> taken{0};
  // Each worker holds its saves back in batches. The entries go oldest
  // first, so that the old contents are read in the order they were kept.
  const auto undo = [&] {
    const std::unique_ptr<FileStore> store = makeStore();
    for (std::size_t count = taken++; count < results.size(); count = taken++) {
      const std::size_t at = results.size() - 1 - count;
      const JournalEntry& entry = work->entries[at];
      UndoEntryInBatch(*store, shared, entry, [&results, &entry, at](std::optional<FileError> why) {
        results[at] = {entry.path, why, why ? ReasonText(*why) : ""};
      });
      if (store->BatchFull()) store->Commit();
    }
    store->Flush();
  };
  std::vector<std::thread> threads;
  const int count =
      std::clamp(workers, 1, static_cast<int>(std::max<std::size_t>(1, results.size())));
  try {
    for (int w = 1; w < count; ++w) threads.emplace_back(undo);
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those that started, and this one, do it.
  }
  undo();
  for (std::thread& thread : threads) thread.join();
  work->folder->Close();
  return results;
}

}  // namespace quillmere
