#include "in_place_mode.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli.h"
#include "console.h"
#include "console_observer.h"
#include "json_observer.h"
#include "json_report.h"
#include "parallel_batch_job.h"
#include "run_items.h"
#include "run_summary.h"
#include "worker_store.h"

namespace quillmere {
namespace {

// The observer the command asks for: JSON Lines, or lines for people.
std::unique_ptr<SignalledObserver> MakeObserver(const CliCommand& command, std::ostream& out,
                                                std::ostream& err, bool showProgress) {
  if (command.json) return std::make_unique<JsonObserver>(out);
  // With a diff on standard output, a dry run's list goes beside the summary.
  std::ostream* list = !command.dryRun ? nullptr : command.diff ? &err : &out;
  return std::make_unique<ConsoleObserver>(err, showProgress, out, list,
                                           command.dryRun || command.diff);
}

}  // namespace

int RunInPlaceMode(const CliCommand& command, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  std::vector<std::unique_ptr<FileStore>> stores;
  const BaseStores makeStore = [&]() -> FileStore& {
    stores.push_back(MakeSystemFileStore());
    return *stores.back();
  };
  const std::filesystem::path runs = DefaultRunsFolder();
  RunJournals journals(runs, DefaultJournalLimit(runs));
  return RunInPlaceMode(command, makeStore, runs.empty() ? nullptr : &journals, in, out, err,
                        ShowsEscapes(StandardStream::kError));
}

int RunInPlaceMode(const CliCommand& command, const BaseStores& stores, RunJournals* journals,
                   std::istream& in, std::ostream& out, std::ostream& err, bool showProgress) {
  std::vector<RunItem> items;
  if (const std::optional<std::string> error = GatherRunItems(command, in, items)) {
    err << "quillmere-cli: " << *error << "\n";
    return kExitUsage;
  }
  std::optional<RunJournal> journal;
  if (journals != nullptr && !command.dryRun && !command.diff && !command.noUndo) {
    journal.emplace(*journals);
  }
  const bool colourDiff = showProgress && ShowsEscapes(StandardStream::kOutput);
  const WorkerStoreMaker makeStore = [&](FileNotes& notes) {
    return MakeWorkerStore(command, stores(), journal ? &*journal : nullptr, notes, colourDiff);
  };
  const std::unique_ptr<SignalledObserver> observer = MakeObserver(command, out, err, showProgress);
  RunCounters counters;
  {
    const StopSignals stopSignals;
    counters = ParallelBatchJob(makeStore, *observer, command.jobs).Run(items, command.options);
  }
  const int stoppedBy = observer->stoppedBy();
  if (command.json) {
    out << JsonSummary(counters, command.dryRun, stoppedBy);
  } else {
    // With a diff on standard output, the summary goes where it spoils no
    // patch.
    (command.diff ? err : out) << RunSummary(counters.fileCount, counters.replacedCount,
                                             counters.errorCount, counters.restoredCount)
                               << '\n';
  }
  out.flush();
  if (stoppedBy != 0) return kExitSignalBase + stoppedBy;
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return counters.errorCount == 0 ? kExitOk : kExitFailure;
}

}  // namespace quillmere
