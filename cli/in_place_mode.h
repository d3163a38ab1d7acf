#pragma once

#include <iosfwd>

#include "cli_options.h"
#include "file_store.h"
#include "run_journal.h"

namespace quillmere {

// Cleans the files of `command` in place with the batch run, in the order
// given (a repeated path is handled once, at its first place). Load and save
// failures are reported on `err` as "File open error: PATH" and "File save
// error: PATH", and the summary goes to `out`. With `dryRun` nothing is
// written: the files that would change are listed on `out` and counted as
// replaced. An interrupt (Ctrl+C) stops the run after the file in hand.
// Returns 0, 1 when any file failed, or 130 when interrupted.
int RunInPlaceMode(const CliCommand& command, std::ostream& out, std::ostream& err);

// The same over a given file store, keeping an undo journal in `journals`
// (none when null), with or without a progress line on `err`.
int RunInPlaceMode(const CliCommand& command, FileStore& store, RunJournals* journals,
                   std::ostream& out, std::ostream& err, bool showProgress);

}  // namespace quillmere
