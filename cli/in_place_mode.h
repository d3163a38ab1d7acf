#pragma once

#include <functional>
#include <iosfwd>

#include "cli_options.h"
#include "file_store.h"
#include "run_journal.h"

namespace quillmere {

// Cleans the files of `command` in place, --jobs at a time: the FILEs (with
// -r the files of their trees) and the paths of the --files-from list, read
// from `in` when it is "-". A path given twice byte for byte is handled
// once. Each file that cannot be cleaned gets a line on `err` ("File open
// error: PATH", a tab, the reason), or with --json an object on `out`; the
// summary goes to `out`, or to `err` when `out` carries a diff or a check's
// list (none with --quiet). In a dry run or a check nothing is written: the
// files that would change are listed on `out`. A stop signal stops the run
// after the files in hand. Returns 0, 1 when any file failed (or with
// --check would change), 2 when the list cannot be read, or 128 plus the
// signal's number.
int RunInPlaceMode(const CliCommand& command, bool colourDiff, std::istream& in, std::ostream& out,
                   std::ostream& err);

// Gives each worker of the run a base store of its own.
using BaseStores = std::function<FileStore&()>;

// The same over the given stores, keeping an undo journal in `journals`
// (none when null), with or without a progress line on `err` and colour in
// the diff.
int RunInPlaceMode(const CliCommand& command, const BaseStores& stores, RunJournals* journals,
                   std::istream& in, std::ostream& out, std::ostream& err, bool showProgress,
                   bool colourDiff = false);

}  // namespace quillmere
