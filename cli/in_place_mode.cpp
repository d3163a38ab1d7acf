#include "in_place_mode.h"

#include <cstdio>
#include <ostream>
#include <unordered_set>
#include <vector>

#include "batch_run.h"
#include "cli.h"
#include "console_platform.h"
#include "file_list.h"

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

 private:
  FileStore& store_;
  std::ostream& out_;
};

bool ErrorStreamIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return ::isatty(STDERR_FILENO) != 0;
#endif
}

// Each new path goes on top of the list, so the paths are added last first
// for the run to take them in the order given.
void ListInOrder(FileList& list, const std::vector<std::string>& files) {
  std::unordered_set<std::string> seen;
  std::vector<const std::string*> unique;
  for (const std::string& path : files) {
    if (seen.insert(path).second) unique.push_back(&path);
  }
  for (auto it = unique.rbegin(); it != unique.rend(); ++it) list.AddPath(**it);
}

}  // namespace

int RunInPlaceMode(const CliCommand& command, std::ostream& out, std::ostream& err) {
  const auto store = MakeSystemFileStore();
  return RunInPlaceMode(command, *store, out, err, ErrorStreamIsTerminal());
}

int RunInPlaceMode(const CliCommand& command, FileStore& store, std::ostream& out,
                   std::ostream& err, bool showProgress) {
  DryRunFileStore dryRun(store, out);
  FileStore& files = command.dryRun ? static_cast<FileStore&>(dryRun) : store;
  ConsolePlatform platform(command.options, err, showProgress);
  WindowFields fields;
  BatchRun run(platform, fields, files);
  FileList list(platform, fields, run);
  platform.SetRun(run);
  ListInOrder(list, command.files);
  {
    const InterruptAsStop interruptAsStop;
    run.OnStart();
  }
  platform.EndProgress();
  out << fields.statusText << '\n';
  out.flush();
  if (platform.interruptedBy() != 0) return kExitSignalBase + platform.interruptedBy();
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return run.counters().errorCount == 0 ? kExitOk : kExitFailure;
}

}  // namespace quillmere
