#include "run_summary.h"

#include <string>

#include "string_table.h"
#include "texts.h"

namespace quillmere {

namespace {

std::string WithRestored(std::string summary, int restored) {
  if (restored > 0) {
    summary += '\n';
    summary += FormatString(texts::kRestoredSummary, restored);
  }
  return summary;
}

}  // namespace

std::string RunSummary(int files, int replaced, int errors, int restored) {
  return WithRestored(FormatString(texts::kRunSummary, files, replaced, errors), restored);
}

std::string StoppedRunSummary(int files, int done, int replaced, int errors, int restored) {
  const std::string counts =
      FormatPlaces(texts::kStoppedSummary, {std::to_string(files), std::to_string(done),
                                            std::to_string(replaced), std::to_string(errors)});
  return WithRestored(counts, restored);
}

}  // namespace quillmere
