#include "cli.h"

#include <ostream>

#include "cleaning_groups.h"
#include "cli_options.h"
#include "filter_mode.h"
#include "in_place_mode.h"
#include "run_journal.h"
#include "undo_mode.h"

namespace quillmere {
namespace {

// The cleaning texts in the files' code page, or the first that has no form
// there.
std::optional<UsageError> ToContent(CleaningOptions& options, const ContentText& toContent) {
  for (const CleaningGroup& group : CleaningGroups()) {
    for (int i = 0; i < group.textCount; ++i) {
      std::string& text = options.*group.texts[i];
      std::optional<std::string> converted = toContent(text);
      if (!converted) {
        return UsageError{group.cliSwitch + std::string(" text \"") + text +
                          "\" has characters that the files' code page lacks"};
      }
      text = std::move(*converted);
    }
  }
  return std::nullopt;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const ContentText& toContent) {
  auto parsed = ParseCommandLine(args);
  if (auto* command = std::get_if<CliCommand>(&parsed); command != nullptr && toContent) {
    if (std::optional<UsageError> error = ToContent(command->options, toContent)) parsed = *error;
  }
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
  if (command.files.empty()) return RunFilterMode(command.options, in, out, err);
  return RunInPlaceMode(command, out, err);
}

}  // namespace quillmere
