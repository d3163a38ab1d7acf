#include "cli.h"

#include <ostream>

#include "cli_options.h"
#include "filter_mode.h"
#include "in_place_mode.h"
#include "run_journal.h"
#include "stream_mode.h"
#include "undo_mode.h"

namespace quillmere {

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
  const auto parsed = ParseCommandLine(args);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    err << "quillmere-cli: " << error->message << " (try --help)\n";
    return kExitUsage;
  }
  const auto& command = std::get<CliCommand>(parsed);
  if (command.showHelp) {
    out << UsageText();
    return kExitOk;
  }
  if (command.showVersion) {
    out << "quillmere-cli " << QUILLMERE_VERSION << "\n";
    return kExitOk;
  }
  if (command.listRuns || command.undoRun) {
    const std::filesystem::path runs = DefaultRunsFolder();
    RunJournals journals(runs, DefaultJournalLimit(runs));
    if (command.listRuns) return ListRuns(journals, out);
    const auto store = MakeSystemFileStore();
    return UndoLastRun(*store, journals, *command.undoRun, out, err);
  }
  if (command.jsonlStream) return RunStreamMode(command.options, in, out, err);
  if (!command.InPlace()) return RunFilterMode(command.options, in, out, err);
  return RunInPlaceMode(command, in, out, err);
}

}  // namespace quillmere
