#include "in_place_mode.h"

#include <cstdio>
#include <ostream>
#include <unordered_set>
#include <vector>

#include "batch_job.h"
#include "cli.h"
#include "console_observer.h"
#include "diff_store.h"
#include "run_journal.h"
#include "texts.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quillmere {
namespace {

// Loads through another store and saves nothing: a save checks that the
// file could be saved, and names it when it could.
class DryRunFileStore final : public FileStore {
 public:
  DryRunFileStore(FileStore& store, std::ostream& out) : store_(store), out_(out) {}

  LoadedFile Load(const std::string& path) override { return store_.Load(path); }
  std::optional<FileError> Save(const std::string& path, const std::string&) override {
    std::optional<FileError> error = store_.CheckSave(path);
    if (!error) out_ << path << '\n';
    return error;
  }
  std::optional<FileError> CheckSave(const std::string& path) override {
    return store_.CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    return store_.Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return std::nullopt;  // nothing is written
  }

 private:
  FileStore& store_;
  std::ostream& out_;
};

bool OutputIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return ::isatty(STDOUT_FILENO) != 0;
#endif
}

bool ErrorStreamIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return ::isatty(STDERR_FILENO) != 0;
#endif
}

// The paths in the order given, each byte-identical one once, at its first
// place.
std::vector<std::string> Unique(const std::vector<std::string>& files) {
  std::unordered_set<std::string> seen;
  std::vector<std::string> unique;
  for (const std::string& path : files) {
    if (seen.insert(path).second) unique.push_back(path);
  }
  return unique;
}

}  // namespace

int RunInPlaceMode(const CliCommand& command, std::ostream& out, std::ostream& err) {
  const auto store = MakeSystemFileStore();
  const std::filesystem::path runs = DefaultRunsFolder();
  RunJournals journals(runs, DefaultJournalLimit(runs));
  return RunInPlaceMode(command, *store, runs.empty() ? nullptr : &journals, out, err,
                        ErrorStreamIsTerminal());
}

int RunInPlaceMode(const CliCommand& command, FileStore& store, RunJournals* journals,
                   std::ostream& out, std::ostream& err, bool showProgress) {
  DryRunFileStore dryRun(store, out);
  // With a diff on standard output, a dry run's list goes beside the summary.
  DiffFileStore diff(store, out, showProgress && OutputIsTerminal(),
                     command.dryRun ? &err : nullptr);
  ConsoleObserver observer(err, showProgress);
  std::optional<JournaledFileStore> journaled;
  if (journals != nullptr && !command.dryRun && !command.diff && !command.noUndo) {
    journaled.emplace(store, *journals, [&](const std::string& path) {
      observer.Warn(texts::kNoUndoCopy + path, texts::kNoUndoCopyDetails);
    });
  }
  FileStore& files = command.diff     ? static_cast<FileStore&>(diff)
                     : command.dryRun ? static_cast<FileStore&>(dryRun)
                     : journaled      ? static_cast<FileStore&>(*journaled)
                                      : store;
  BatchJob job(files, observer);
  RunCounters counters;
  {
    const StopSignals stopSignals;
    counters = job.Run(Unique(command.files), command.options);
  }
  // With a diff on standard output, the summary goes where it spoils no patch.
  (command.diff ? err : out) << RunSummary(counters) << '\n';
  out.flush();
  if (observer.stoppedBy() != 0) return kExitSignalBase + observer.stoppedBy();
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return counters.errorCount == 0 ? kExitOk : kExitFailure;
}

}  // namespace quillmere
