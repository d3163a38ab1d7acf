#pragma once

#include <memory>

#include "cli_options.h"
#include "file_outcome.h"
#include "file_store.h"
#include "run_journal.h"

namespace quillmere {

// The store one worker of an in-place run cleans through: `base`, with what
// the command asks on top of it: the old times given back (--keep-mtime),
// the run's undo journal (when `journal` is given), or, in a dry run, no
// save at all but a check that the file could be saved. What the layers
// notice of a file goes to `notes`.
std::unique_ptr<FileStore> MakeWorkerStore(const CliCommand& command, FileStore& base,
                                           RunJournal* journal, FileNotes& notes);

}  // namespace quillmere
