#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_store.h"
#include "run_journals.h"

namespace quillmere {

// What became of one file when a run was undone.
struct UndoneFile {
  std::string path;
  std::optional<FileError> error;  // why it was left alone, if it was
  std::string reason;              // the same, as the user reads it
};

// Told of each file as it is done, and asked whether to go on.
using UndoProgress = std::function<bool(const UndoneFile& file, int done, int total)>;

// Puts back the old content of every file of the run that is still exactly
// what the run left (the same file, by identity, size and content hash),
// newest change first, through the store's safe saving, and its mode and
// times where they too are still what the run left (a later chmod or touch
// stays). A file changed or replaced since is left alone with its reason; a
// file undone already is passed over. Each file's undo is journaled as it
// begins and when it is done, so that an undo that was killed, run again,
// finishes exactly: a file already back is only marked. Nothing when the
// run cannot be read, with why in `error`.
std::vector<UndoneFile> UndoRun(FileStore& store, RunJournals& journals, const std::string& run,
                                std::optional<FileError>* error = nullptr,
                                const UndoProgress& progress = {});

// The same by `workers` workers at once, each with a store `makeStore`
// makes; the files come back in the same order.
using UndoStoreMaker = std::function<std::unique_ptr<FileStore>()>;
std::vector<UndoneFile> UndoRun(const UndoStoreMaker& makeStore, int workers, RunJournals& journals,
                                const std::string& run, std::optional<FileError>* error = nullptr);

}  // namespace quillmere
