#pragma once

#include <string>

#include "batch_job.h"
#include "file_outcome.h"

namespace quillmere {

// A run reported as JSON Lines: one object per file, in the order of the
// files, e.g.
//   {"type":"file","path":"a.htm","result":"changed","bytes_before":120,"bytes_after":97}
//   {"type":"file","path":"b.htm","result":"error","stage":"open","kind":"not_found",
//    "reason":"not found"}
// "result" is "changed", "unchanged" or "error"; the sizes are there when the
// file was read (for a save error, bytes_after is what could not be
// written); "restored", "no_undo_copy" and "times_not_kept" (its reason)
// appear when they happened. A path that is not UTF-8 comes as
// "path_base64".
std::string JsonFileLine(const std::string& path, const FileOutcome& outcome);

// The last line: {"type":"summary","files":3,"changed":1,"errors":1,
// "restored":0,"dry_run":false,"stopped_by_signal":0}.
std::string JsonSummary(const RunCounters& counters, bool dryRun, int stoppedBy);

}  // namespace quillmere
