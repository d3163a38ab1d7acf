#include "run_report.h"

#include "string_table.h"
#include "texts.h"

namespace quillmere {

std::string CliRunSummary(const RunEnd& end) {
  const RunCounters& c = end.counters;
  std::string summary = end.stopped        ? "Stopped."
                        : c.errorCount > 0 ? "Finished with errors."
                                           : "OK.";
  summary += " Files : " + std::to_string(end.handled);
  if (end.stopped) summary += " of " + std::to_string(c.fileCount);
  summary += end.writesNothing ? ", Would replace : " : ", Replaced files : ";
  summary += std::to_string(c.replacedCount) + ", Errors : " + std::to_string(c.errorCount);
  if (c.restoredCount > 0) summary += '\n' + FormatString(texts::kRestoredSummary, c.restoredCount);
  return summary;
}

}  // namespace quillmere
