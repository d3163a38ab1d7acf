#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

#include "batch_job.h"
#include "cleaning_options.h"
#include "file_outcome.h"
#include "file_store.h"

namespace quillmere {

// The files of one run by what the system knows them by, each with the
// place in the run's list of the name that claimed it first. Shared by the
// workers of a run.
class FileClaims {
 public:
  // The place of the name that holds the file, claiming it for `index` when
  // no name does.
  int Claim(const FileKey& key, int index);

 private:
  std::mutex mutex_;
  std::unordered_map<FileKey, int, FileKeyHash> holders_;
};

// Loads the file at `index` of the run, cleans it and writes it back when
// its text changed. A file that another name of the list claimed is not
// cleaned again: it counts as unchanged. The notes that the store makes
// while it works on the file are taken into the outcome.
FileOutcome CleanFile(FileStore& files, const std::string& path, int index,
                      const CleaningOptions& options, FileClaims& claims, FileNotes& notes);

// The same for an item of a run's list; an item whose error is known is not
// touched.
FileOutcome CleanItem(FileStore& files, const RunItem& item, int index,
                      const CleaningOptions& options, FileClaims& claims, FileNotes& notes);

// Tells the observer what became of the file and counts it.
void ReportFile(BatchObserver& observer, RunCounters& counters, int index, const std::string& path,
                const FileOutcome& outcome);

}  // namespace quillmere
