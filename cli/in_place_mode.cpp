#include "in_place_mode.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli.h"
#include "colour_choice.h"
#include "console_observer.h"
#include "json_observer.h"
#include "json_report.h"
#include "parallel_batch_job.h"
#include "run_items.h"
#include "run_report.h"
#include "worker_store.h"

namespace quillmere {
namespace {

// The observer the command asks for: JSON Lines, or lines for people.
std::unique_ptr<SignalledObserver> MakeObserver(const CliCommand& command, std::ostream& out,
                                                std::ostream& err, bool showProgress) {
  if (command.json) return std::make_unique<JsonObserver>(out);
  // With a diff on standard output, a dry run's list goes beside the summary;
  // a check lists the files only without a diff, which shows them already.
  std::ostream* list = nullptr;
  if (!command.quiet && command.dryRun) list = command.diff ? &err : &out;
  if (!command.quiet && command.check && !command.diff) list = &out;
  return std::make_unique<ConsoleObserver>(err, showProgress && !command.quiet, out, list,
                                           command.WritesNothing());
}

// The summary, where it spoils no data on standard output, and a hint when
// -r found nothing to clean.
void Report(const CliCommand& command, const RunEnd& end, int stoppedBy, std::ostream& out,
            std::ostream& err) {
  if (command.json) {
    out << JsonSummary(end.counters, command.WritesNothing(), stoppedBy);
    return;
  }
  if (command.quiet) return;
  (command.diff || command.check ? err : out) << CliRunSummary(end) << '\n';
  if (command.recursive && end.counters.fileCount == 0) {
    err << "quillmere-cli: no file under the folders given matches the patterns of -r "
           "(--include, default: *.htm, *.html, *.txt; --exclude)\n";
  }
}

int ExitStatus(const CliCommand& command, const RunCounters& counters, int stoppedBy,
               std::ostream& out, std::ostream& err) {
  if (stoppedBy != 0) return kExitSignalBase + stoppedBy;
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  if (counters.errorCount > 0) return kExitFailure;
  return command.check && counters.replacedCount > 0 ? kExitFailure : kExitOk;
}

}  // namespace

int RunInPlaceMode(const CliCommand& command, bool colourDiff, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  std::vector<std::unique_ptr<FileStore>> stores;
  const BaseStores makeStore = [&]() -> FileStore& {
    stores.push_back(MakeSystemFileStore());
    return *stores.back();
  };
  const std::filesystem::path runs = DefaultRunsFolder();
  RunJournals journals(runs, DefaultJournalLimit(runs));
  return RunInPlaceMode(command, makeStore, runs.empty() ? nullptr : &journals, in, out, err,
                        ShowProgressLine(), colourDiff);
}

int RunInPlaceMode(const CliCommand& command, const BaseStores& stores, RunJournals* journals,
                   std::istream& in, std::ostream& out, std::ostream& err, bool showProgress,
                   bool colourDiff) {
  std::vector<RunItem> items;
  if (const std::optional<std::string> error = GatherRunItems(command, in, items)) {
    err << "quillmere-cli: " << *error << "\n";
    return kExitUsage;
  }
  std::optional<RunJournal> journal;
  if (journals != nullptr && !command.WritesNothing() && !command.noUndo) {
    journal.emplace(*journals);
  }
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
  Report(command, {counters, observer->handled(), stoppedBy != 0, command.WritesNothing()},
         stoppedBy, out, err);
  out.flush();
  return ExitStatus(command, counters, stoppedBy, out, err);
}

}  // namespace quillmere
