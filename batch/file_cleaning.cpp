#include "file_cleaning.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "cleaning_pass.h"

namespace quillmere {
namespace {

void Fail(FileOutcome& outcome, FileStage stage, FileError error) {
  outcome.result = FileOutcome::Result::kFailed;
  outcome.failedAt = stage;
  outcome.error = std::move(error);
}

// Loads and cleans the file into `buffer`; false when the outcome is already
// decided: a failure, or a file that another name claimed.
bool LoadAndClean(FileStore& files, const std::string& path, int index,
                  const CleaningOptions& options, FileClaims& claims, TextBuffer& buffer,
                  FileOutcome& outcome) {
  try {
    LoadedFile loaded = files.Load(path);
    outcome.restored = loaded.restored;
    if (!loaded.ok()) {
      Fail(outcome, FileStage::kOpen, *loaded.error);
      return false;
    }
    outcome.read = true;
    outcome.bytesBefore = outcome.bytesAfter = loaded.text.size();
    if (claims.Claim(loaded.key, index) != index) return false;
    buffer.text = std::move(loaded.text);
    buffer.modified = false;
    CleanText(buffer, options);
    outcome.bytesAfter = buffer.text.size();
    return true;
  } catch (const std::bad_alloc&) {
    // Too large to load or to clean: the file is left as it is.
  } catch (const std::length_error&) {
  }
  buffer = TextBuffer{};
  outcome.read = false;
  Fail(outcome, FileStage::kOpen, FileError{FileProblem::kOutOfMemory});
  return false;
}

void Save(FileStore& files, const std::string& path, int index, FileClaims& claims,
          TextBuffer& buffer, FileOutcome& outcome) {
  std::optional<FileError> error;
  try {
    error = files.Save(path, buffer.text);
  } catch (const std::bad_alloc&) {
    error = FileError{FileProblem::kOutOfMemory};
  }
  buffer = TextBuffer{};
  if (error) {
    Fail(outcome, FileStage::kSave, *error);
    return;
  }
  outcome.result = FileOutcome::Result::kChanged;
  // A save by rename makes a new file: another name that reaches it later
  // in the run must still find it claimed.
  if (const std::optional<FileKey> key = files.KeyOf(path)) claims.Claim(*key, index);
}

}  // namespace

int FileClaims::Claim(const FileKey& key, int index) {
  const std::lock_guard lock(mutex_);
  return holders_.try_emplace(key, index).first->second;
}

FileOutcome CleanFile(FileStore& files, const std::string& path, int index,
                      const CleaningOptions& options, FileClaims& claims, FileNotes& notes) {
  notes.clear();
  FileOutcome outcome;
  TextBuffer buffer;
  // A file whose text did not change is never opened for writing, nor is one
  // that another name of the run claimed.
  if (LoadAndClean(files, path, index, options, claims, buffer, outcome)) {
    if (buffer.modified) {
      Save(files, path, index, claims, buffer, outcome);
    } else {
      outcome.bytesAfter = outcome.bytesBefore;  // a trim alone is no change
    }
  }
  outcome.notes = std::move(notes);
  notes.clear();
  return outcome;
}

FileOutcome CleanItem(FileStore& files, const RunItem& item, int index,
                      const CleaningOptions& options, FileClaims& claims, FileNotes& notes) {
  if (!item.error) return CleanFile(files, item.path, index, options, claims, notes);
  FileOutcome outcome;
  Fail(outcome, FileStage::kOpen, *item.error);
  return outcome;
}

void ReportFile(BatchObserver& observer, RunCounters& counters, int index, const std::string& path,
                const FileOutcome& outcome) {
  if (outcome.restored) {
    ++counters.restoredCount;
    observer.FileRestored(path);
  }
  if (outcome.result == FileOutcome::Result::kFailed) {
    ++counters.errorCount;
    observer.FileFailed(outcome.failedAt, path, outcome.error);
  } else if (outcome.result == FileOutcome::Result::kChanged) {
    ++counters.replacedCount;
  }
  observer.FileFinished(index, path, outcome);
}

}  // namespace quillmere
