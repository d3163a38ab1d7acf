#include "batch_job.h"

#include <climits>
#include <new>
#include <stdexcept>
#include <utility>

#include "cleaning_pass.h"
#include "progress.h"
#include "string_table.h"
#include "texts.h"

namespace quillmere {

RunCounters BatchJob::Run(const std::vector<std::string>& paths, const CleaningOptions& options) {
  const int fileCount = static_cast<int>(std::min<std::size_t>(paths.size(), INT_MAX));
  counters_ = RunCounters{fileCount, 0, 0, 0};
  handled_.clear();
  bool stopped = false;
  for (int index = 0; index < fileCount; ++index) {
    if (observer_.StopRequested()) {
      stopped = true;
      break;
    }
    const std::string& path = paths[static_cast<std::size_t>(index)];
    observer_.FileStarted(index, path, ProgressPercent(index + 1, fileCount));
    observer_.DrainEvents();
    ProcessFile(path, options);
  }
  files_.Flush();
  observer_.RunEnded(counters_, stopped);
  return counters_;
}

void BatchJob::ProcessFile(const std::string& path, const CleaningOptions& options) {
  TextBuffer buffer;
  bool alreadyHandled = false;
  if (const auto error = LoadAndClean(path, options, buffer, alreadyHandled)) {
    Fail(FileStage::kOpen, path, *error);
    return;
  }
  // A file whose text did not change is never opened for writing, nor is one
  // this run has handled under another name.
  if (buffer.modified && !alreadyHandled) SaveFile(path, buffer);
}

std::optional<FileError> BatchJob::LoadAndClean(const std::string& path,
                                                const CleaningOptions& options, TextBuffer& buffer,
                                                bool& alreadyHandled) {
  try {
    LoadedFile loaded = files_.Load(path);
    if (loaded.restored) {
      ++counters_.restoredCount;
      observer_.FileRestored(path);
    }
    if (!loaded.ok()) return loaded.error;
    alreadyHandled = !handled_.insert(loaded.key).second;
    if (alreadyHandled) return std::nullopt;
    buffer.text = std::move(loaded.text);
    buffer.modified = false;
    CleanText(buffer, options);
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    // Too large to load or to clean: the file is left as it is.
  } catch (const std::length_error&) {
  }
  buffer = TextBuffer{};
  return FileError{FileProblem::kOutOfMemory};
}

void BatchJob::SaveFile(const std::string& path, const TextBuffer& buffer) {
  std::optional<FileError> error;
  try {
    error = files_.Save(path, buffer.text);
  } catch (const std::bad_alloc&) {
    error = FileError{FileProblem::kOutOfMemory};
  }
  if (error) {
    Fail(FileStage::kSave, path, *error);
  } else {
    ++counters_.replacedCount;
  }
}

void BatchJob::Fail(FileStage stage, const std::string& path, const FileError& error) {
  ++counters_.errorCount;
  observer_.FileFailed(stage, path, error);
}

std::string RunSummary(const RunCounters& counters) {
  std::string summary = FormatString(texts::kRunSummary, counters.fileCount, counters.replacedCount,
                                     counters.errorCount);
  if (counters.restoredCount > 0) {
    summary += '\n';
    summary += FormatString(texts::kRestoredSummary, counters.restoredCount);
  }
  return summary;
}

}  // namespace quillmere
