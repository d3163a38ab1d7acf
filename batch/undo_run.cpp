#include "undo_run.h"

#include "file_content.h"

namespace quillmere {
namespace {

bool SameFile(const FileKey& run, const FileKey& now) {
  return run.device == now.device && run.id == now.id &&
         (run.birth == 0 || now.birth == 0 || run.birth == now.birth);
}

// Undoes one entry; nothing when its file is back (or was already).
std::optional<FileError> UndoEntry(FileStore& store, RunFolder& run, const JournalEntry& entry) {
  if (!entry.kept) return FileError{FileProblem::kNotFound, "no undo copy was kept"};
  Result<std::string> old = run.OldContent(entry);
  if (!old.ok()) return old.error();
  // A load first puts back what an interrupted save left, an undo's own
  // rewrite in place included.
  const LoadedFile current = store.Load(entry.path);
  if (!current.ok()) return current.error;
  FileStamp now;
  if (std::optional<FileError> error = store.Stamp(entry.path, now)) return error;
  if (current.text == *old) {
    // Back already: an undo killed after its save, or a save the run never
    // made. Its mode and times go back too where the undo had begun.
    if (entry.undoing) {
      if (std::optional<FileError> error = store.Restamp(entry.path, entry.before)) return error;
    }
    return run.MarkUndone(entry.number);
  }
  if (entry.afterKey && !SameFile(*entry.afterKey, current.key)) {
    return FileError{FileProblem::kChanged, "replaced since the run"};
  }
  if (now.size != entry.afterSize || detail::ContentHash(current.text) != entry.afterHash) {
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
  if (MaybeError error = run.MarkUndoing(entry.number)) return error;
  if (std::optional<FileError> error = store.Save(entry.path, *old)) return error;
  if (std::optional<FileError> error = store.Restamp(entry.path, back)) {
    return FileError{error->problem,
                     "its old content is back, but not its mode and times: " + ReasonText(*error)};
  }
  return run.MarkUndone(entry.number);
}

}  // namespace

std::vector<UndoneFile> UndoRun(FileStore& store, RunJournals& journals, const std::string& run,
                                std::optional<FileError>* error, const UndoProgress& progress) {
  std::vector<UndoneFile> results;
  Result<std::unique_ptr<RunFolder>> folder = journals.OpenRun(run);
  Result<std::vector<JournalEntry>> entries =
      folder.ok() ? (*folder)->Entries() : Result<std::vector<JournalEntry>>(folder.error());
  if (!entries.ok()) {
    if (error != nullptr) *error = entries.error();
    return results;
  }
  int total = 0;
  for (const JournalEntry& entry : *entries) total += entry.undone ? 0 : 1;
  for (auto it = entries->rbegin(); it != entries->rend(); ++it) {
    if (it->undone) continue;
    UndoneFile result{it->path, UndoEntry(store, **folder, *it), ""};
    if (result.error) result.reason = ReasonText(*result.error);
    results.push_back(std::move(result));
    if (progress && !progress(results.back(), static_cast<int>(results.size()), total)) break;
  }
  (*folder)->Close();
  store.Flush();
  return results;
}

}  // namespace quillmere
