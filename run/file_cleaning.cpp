#include "file_cleaning.h"

#include <iterator>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "encoded_cleaning.h"
#include "text_buffer.h"

namespace quillmere {
namespace {

void Fail(FileOutcome& outcome, FileStage stage, FileError error) {
  outcome.result = FileOutcome::Result::kFailed;
  outcome.failedAt = stage;
  outcome.error = std::move(error);
}

// Loads and cleans the file into `buffer`; false when the outcome is already
// decided: a failure, or a file that another name claimed.
bool LoadAndClean(FileStore& files, const std::string& path, bool firstName,
                  const CleaningOptions& options, TextBuffer& buffer, FileOutcome& outcome) {
  try {
    LoadedFile loaded = files.Load(path);
    outcome.restored = loaded.restored;
    outcome.notes = std::move(loaded.notes);
    if (!loaded.ok()) {
      Fail(outcome, FileStage::kOpen, *loaded.error);
      return false;
    }
    outcome.read = true;
    outcome.bytesBefore = outcome.bytesAfter = loaded.text.size();
    if (!firstName) return false;
    EncodedCleaning cleaned = CleanEncoded(std::move(loaded.text), options);
    if (cleaned.error) {
      outcome.read = false;
      Fail(outcome, FileStage::kOpen, *cleaned.error);
      return false;
    }
    outcome.encoding = cleaned.encoding.Name();
    if (cleaned.textLeftOut) {
      outcome.notes.push_back(
          {FileNote::Kind::kRuleNotRepresentable, FileError{}, cleaned.encoding.codePage});
    }
    buffer.text = std::move(cleaned.bytes);
    buffer.modified = cleaned.modified;
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

void Save(FileStore& files, const std::string& path, TextBuffer& buffer, FileOutcome& outcome) {
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
}

// Takes the notes the stores made of the file into its outcome.
void TakeNotes(FileOutcome& outcome, FileNotes& notes) {
  outcome.notes.insert(outcome.notes.end(), std::make_move_iterator(notes.begin()),
                       std::make_move_iterator(notes.end()));
  notes.clear();
}

}  // namespace

std::vector<int> FirstNames(FileStore& files, const std::vector<RunItem>& items) {
  std::vector<int> first(items.size());
  std::unordered_map<FileKey, int, FileKeyHash> firstOf;
  for (std::size_t index = 0; index < items.size(); ++index) {
    first[index] = static_cast<int>(index);
    if (items[index].error) continue;
    if (const std::optional<FileKey> key = files.KeyOf(items[index].path)) {
      first[index] = firstOf.try_emplace(*key, static_cast<int>(index)).first->second;
    }
  }
  return first;
}

FileOutcome CleanFile(FileStore& files, const std::string& path, bool firstName,
                      const CleaningOptions& options, FileNotes& notes) {
  notes.clear();
  FileOutcome outcome;
  TextBuffer buffer;
  // A file whose text did not change is never opened for writing, nor is one
  // reached under an earlier name.
  if (LoadAndClean(files, path, firstName, options, buffer, outcome)) {
    if (buffer.modified) {
      Save(files, path, buffer, outcome);
    } else {
      outcome.bytesAfter = outcome.bytesBefore;  // a trim alone is no change
    }
  }
  TakeNotes(outcome, notes);
  return outcome;
}

FileOutcome CleanItem(FileStore& files, const RunItem& item, bool firstName,
                      const CleaningOptions& options, FileNotes& notes) {
  if (!item.error) return CleanFile(files, item.path, firstName, options, notes);
  FileOutcome outcome;
  Fail(outcome, FileStage::kOpen, *item.error);
  return outcome;
}

void CleanItemInBatch(FileStore& files, const RunItem& item, bool firstName,
                      const CleaningOptions& options, FileNotes& notes, OutcomeDone finished) {
  FileOutcome outcome;
  if (item.error) {
    Fail(outcome, FileStage::kOpen, *item.error);
    return finished(std::move(outcome));
  }
  notes.clear();
  TextBuffer buffer;
  if (!LoadAndClean(files, item.path, firstName, options, buffer, outcome) || !buffer.modified) {
    if (outcome.result != FileOutcome::Result::kFailed) outcome.bytesAfter = outcome.bytesBefore;
    TakeNotes(outcome, notes);
    return finished(std::move(outcome));
  }
  const std::string text = std::move(buffer.text);
  buffer = TextBuffer{};
  files.SaveInBatch(item.path, text,
                    [&notes, outcome = std::move(outcome),
                     finished = std::move(finished)](std::optional<FileError> error) mutable {
                      if (error) {
                        Fail(outcome, FileStage::kSave, std::move(*error));
                      } else {
                        outcome.result = FileOutcome::Result::kChanged;
                      }
                      TakeNotes(outcome, notes);
                      finished(std::move(outcome));
                    });
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
