#pragma once

#include <string>

#include "batch_job.h"

namespace quillmere {

// How a run on the command line ended, for its summary.
struct RunEnd {
  RunCounters counters;
  int handled = 0;             // files finished before the run ended
  bool stopped = false;        // by a stop signal
  bool writesNothing = false;  // a dry run, a check or a diff
};

// The summary a run ends with: "OK.", "Finished with errors." or "Stopped.",
// then the counts of files handled ("Files : 3 of 10" after a stop), of
// files replaced ("Would replace" when nothing is written) and of errors,
// with a second line when files were restored.
std::string CliRunSummary(const RunEnd& end);

}  // namespace quillmere
