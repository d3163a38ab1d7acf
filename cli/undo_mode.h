#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "file_store.h"
#include "run_journals.h"
#include "undo_run.h"

namespace quillmere {

// --runs: a table of the runs that the journals hold, newest first.
int ListRuns(RunJournals& journals, std::ostream& out);

// --forget RUN, --forget-all (`run` empty): deletes the journal of the run,
// or of every run.
int ForgetRuns(RunJournals& journals, const std::string& run, std::ostream& err);

// --undo [RUN]: undoes the run (the last one not undone when `run` is
// empty). Each file gets a line, and a summary follows. Returns 0 when every
// file was put back, 1 when some were left alone or there is no run.
// `workers` put files back at once, each through a store `makeStore` makes.
int UndoLastRun(const UndoStoreMaker& makeStore, int workers, RunJournals& journals,
                const std::string& run, std::ostream& out, std::ostream& err);

}  // namespace quillmere
