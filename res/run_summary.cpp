#include "run_summary.h"

#include "string_table.h"
#include "texts.h"

namespace quillmere {

std::string RunSummary(int files, int replaced, int errors, int restored) {
  std::string summary = FormatString(texts::kRunSummary, files, replaced, errors);
  if (restored > 0) {
    summary += '\n';
    summary += FormatString(texts::kRestoredSummary, restored);
  }
  return summary;
}

}  // namespace quillmere
