#include "undo_mode.h"

#include <cstdio>
#include <ostream>

#include "cli.h"

namespace quillmere {

int ListRuns(const RunJournals& journals, std::ostream& out) {
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

int UndoLastRun(FileStore& store, RunJournals& journals, const std::string& run, std::ostream& out,
                std::ostream& err) {
  std::string chosen = run;
  if (chosen.empty()) {
    if (const std::optional<RunRecord> last = LastRunToUndo(journals)) chosen = last->id;
  }
  if (chosen.empty() || journals.Entries(chosen).empty()) {
    err << "quillmere-cli: no run to undo" << (run.empty() ? "" : ": " + run) << "\n";
    return kExitFailure;
  }
  int undone = 0;
  int leftAlone = 0;
  for (const UndoneFile& file : UndoRun(store, journals, chosen)) {
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
