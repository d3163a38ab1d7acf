#pragma once

#include <functional>
#include <string>

#include "file_error.h"
#include "layered_file_store.h"
#include "run_journal.h"

namespace quillmere {

// What the save layers tell of a file, with the reason.
struct SaveLayerNotes {
  std::function<void(const std::string& path, const FileError& why)> timesNotKept;
  std::function<void(const std::string& path, const FileError& why)> noUndoCopy;
};

// The layers every front end saves a run through, added over `store`: the
// old times given back (with `keepTimes`), then the run's undo journal (when
// `journal` is given) on top, so that it records the times the file is left
// with.
void AddSaveLayers(LayeredFileStore& store, bool keepTimes, RunJournal* journal,
                   const SaveLayerNotes& notes);

}  // namespace quillmere
