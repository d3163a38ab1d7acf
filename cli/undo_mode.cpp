#include "undo_mode.h"

#include <cstdio>
#include <ostream>

#include "cli.h"
#include "run_id.h"
#include "undo_run.h"

namespace quillmere {

int ListRuns(RunJournals& journals, std::ostream& out) {
  char line[160];
  std::snprintf(line, sizeof line, "%-20s %-19s %7s %12s  %s\n", "RUN", "DATE", "FILES", "BYTES",
                "UNDONE");
  out << line;
  for (const RunRecord& run : journals.List()) {
    std::snprintf(line, sizeof line, "%-20s %-19s %7d %12llu  %s\n", run.id.c_str(),
                  LocalTimeText(run.started, "%Y-%m-%d %H:%M:%S").c_str(), run.files,
                  static_cast<unsigned long long>(run.bytes), run.undone ? "yes" : "no");
    out << line;
  }
  return kExitOk;
}

int ForgetRuns(RunJournals& journals, const std::string& run, std::ostream& err) {
  if (MaybeError error = run.empty() ? journals.ForgetAll() : journals.Forget(run)) {
    err << "quillmere-cli: cannot forget " << (run.empty() ? "the runs" : run) << ": "
        << ReasonText(*error) << "\n";
    return error->missing() ? kExitUsage : kExitFailure;
  }
  return kExitOk;
}

int UndoLastRun(const UndoStoreMaker& makeStore, int workers, RunJournals& journals,
                const std::string& run, std::ostream& out, std::ostream& err) {
  std::string chosen = run;
  if (chosen.empty()) {
    if (const std::optional<RunRecord> last = LastRunToUndo(journals)) chosen = last->id;
  }
  if (chosen.empty()) {
    err << "quillmere-cli: no run to undo (see --runs)\n";
    return kExitFailure;
  }
  std::optional<FileError> error;
  const std::vector<UndoneFile> files = UndoRun(makeStore, workers, journals, chosen, &error);
  if (error) {
    err << "quillmere-cli: cannot undo " << chosen << ": " << ReasonText(*error)
        << " (see --runs)\n";
    return kExitFailure;
  }
  int undone = 0;
  int leftAlone = 0;
  for (const UndoneFile& file : files) {
    if (file.error) {
      ++leftAlone;
      err << "Left alone: " << file.path << '\t' << file.reason << '\n';
    } else {
      ++undone;
      out << "Undone: " << file.path << '\n';
    }
  }
  out << "Run " << chosen << ": undone files : " << undone << ", left alone : " << leftAlone
      << '\n';
  return leftAlone == 0 ? kExitOk : kExitFailure;
}

}  // namespace quillmere
