#pragma once

#include <memory>

#include "cli_options.h"
#include "file_outcome.h"
#include "file_store.h"
#include "run_journal.h"

namespace quillmere {

// The store one worker of an in-place run cleans through: `base`, with what
// the command asks on top of it: the old times given back (--keep-mtime),
// the run's undo journal (when `journal` is given); or no save at all but,
// in a dry run, a check that the file could be saved, and with --diff the
// change as a diff (in colour with `colourDiff`). What the layers notice or
// make of a file goes to `notes`.
std::unique_ptr<FileStore> MakeWorkerStore(const CliCommand& command, FileStore& base,
                                           RunJournal* journal, FileNotes& notes, bool colourDiff);

}  // namespace quillmere
