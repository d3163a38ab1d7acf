#include "batch_job.h"

#include <algorithm>
#include <climits>

#include "file_cleaning.h"
#include "progress.h"

namespace quillmere {

RunCounters BatchJob::Run(const std::vector<std::string>& paths, const CleaningOptions& options) {
  std::vector<RunItem> items;
  items.reserve(paths.size());
  for (const std::string& path : paths) items.push_back({path, std::nullopt});
  FileNotes notes;
  return Run(items, options, notes);
}

RunCounters BatchJob::Run(const std::vector<RunItem>& items, const CleaningOptions& options,
                          FileNotes& notes) {
  const int fileCount = static_cast<int>(std::min<std::size_t>(items.size(), INT_MAX));
  RunCounters counters{fileCount, 0, 0, 0};
  const std::vector<int> firstNames = FirstNames(files_, items);
  bool stopped = false;
  for (int index = 0; index < fileCount; ++index) {
    if (observer_.StopRequested()) {
      stopped = true;
      break;
    }
    const RunItem& item = items[static_cast<std::size_t>(index)];
    observer_.FileStarted(index, item.path, ProgressPercent(index + 1, fileCount));
    observer_.DrainEvents();
    const bool firstName = firstNames[static_cast<std::size_t>(index)] == index;
    const FileOutcome outcome = CleanItem(files_, item, firstName, options, notes);
    ReportFile(observer_, counters, index, item.path, outcome);
  }
  files_.Flush();
  observer_.RunEnded(counters, stopped);
  return counters;
}

}  // namespace quillmere
