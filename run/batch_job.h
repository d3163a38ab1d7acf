#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cleaning_options.h"
#include "file_error.h"
#include "file_outcome.h"
#include "file_store.h"
#include "run_item.h"

namespace quillmere {

// The counters of one run.
struct RunCounters {
  std::int32_t fileCount = 0;
  std::int32_t replacedCount = 0;
  std::int32_t errorCount = 0;
  // Files whose old content was put back after an interrupted run.
  std::int32_t restoredCount = 0;

  bool operator==(const RunCounters&) const = default;
};

// What a front end learns of a run, and the two things the run asks of it.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;

  // Asked before each file; true ends the run there.
  virtual bool StopRequested() = 0;
  // The file at `index` of the run is next; `percent` is the run's progress
  // with it.
  virtual void FileStarted(int index, const std::string& path, int percent) = 0;
  // Once per file, before it is loaded: the front end handles what waits
  // (a STOP press, painting, a stop signal).
  virtual void DrainEvents() = 0;
  // The file's old content was put back from an interrupted run's copy.
  virtual void FileRestored(const std::string& path) = 0;
  virtual void FileFailed(FileStage stage, const std::string& path, const FileError& error) = 0;
  // All that became of the file, after the calls above.
  virtual void FileFinished(int /*index*/, const std::string& /*path*/,
                            const FileOutcome& /*outcome*/) {}
  // The run is over: after its last file, or `stopped` before one.
  virtual void RunEnded(const RunCounters& counters, bool stopped) = 0;
};

// One run over a list of paths: each file is loaded, cleaned with the
// options and written back when its text changed. A file met again under
// another name (the same file) is not cleaned twice; it counts as unchanged.
class BatchJob {
 public:
  BatchJob(FileStore& files, BatchObserver& observer) : files_(files), observer_(observer) {}

  RunCounters Run(const std::vector<std::string>& paths, const CleaningOptions& options);
  // The same over items; what the store notices of each file goes through
  // `notes` into the file's outcome.
  RunCounters Run(const std::vector<RunItem>& items, const CleaningOptions& options,
                  FileNotes& notes);

 private:
  FileStore& files_;
  BatchObserver& observer_;
};

}  // namespace quillmere
