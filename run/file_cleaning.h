#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch_job.h"
#include "cleaning_options.h"
#include "file_outcome.h"
#include "file_store.h"

namespace quillmere {

// For each item of a run, the place of the first item that names the same
// file: its own place for a file's first name (and where the file cannot be
// told). The files are told apart once, before anything is saved, so that
// neither this run's saves nor another program's can make two files seem
// one (a number given again to a new file) or one file seem two.
std::vector<int> FirstNames(FileStore& files, const std::vector<RunItem>& items);

// Loads the file, cleans it and writes it back when its text changed. A
// file reached under an earlier name of the list (not `firstName`) is only
// loaded: it counts as unchanged. The notes that the store makes while it
// works on the file are taken into the outcome.
FileOutcome CleanFile(FileStore& files, const std::string& path, bool firstName,
                      const CleaningOptions& options, FileNotes& notes);

// The same for an item of a run's list; an item whose error is known is not
// touched.
FileOutcome CleanItem(FileStore& files, const RunItem& item, bool firstName,
                      const CleaningOptions& options, FileNotes& notes);

// The same, with the save held back for the store to make durable together
// with others: `finished` gets the outcome once the file is done, at the
// latest at the store's next Commit.
using OutcomeDone = std::function<void(FileOutcome outcome)>;
void CleanItemInBatch(FileStore& files, const RunItem& item, bool firstName,
                      const CleaningOptions& options, FileNotes& notes, OutcomeDone finished);

// Tells the observer what became of the file and counts it.
void ReportFile(BatchObserver& observer, RunCounters& counters, int index, const std::string& path,
                const FileOutcome& outcome);

}  // namespace quillmere
