#include "cli.h"

#include <istream>
#include <iterator>
#include <ostream>

#include "cli_options.h"
#include "filter_mode.h"
#include "group_options.h"
#include "in_place_mode.h"
#include "rules_file.h"
#include "run_journal.h"
#include "stream_mode.h"
#include "undo_mode.h"
#include "usage_text.h"

namespace quillmere {
namespace {

// --rules -: the rules on standard input, put among the others where the
// option stood.
std::optional<UsageError> ApplyInputRules(CliCommand& command, std::istream& in) {
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return UsageError{"--rules -: standard input cannot be read"};
  std::vector<TextRule>& rules = command.options.rules;
  const auto at = rules.begin() + static_cast<std::ptrdiff_t>(*command.rulesFromInputAt);
  std::vector<TextRule> after(std::make_move_iterator(at), std::make_move_iterator(rules.end()));
  rules.erase(at, rules.end());
  if (std::optional<std::string> error = ApplyRules(text, "-", command.options)) {
    return UsageError{*error};
  }
  rules.insert(rules.end(), std::make_move_iterator(after.begin()),
               std::make_move_iterator(after.end()));
  if (command.wholeWords) MarkWholeWords(command.options);
  return std::nullopt;
}

bool DiffColour(const CliCommand& command) {
  return command.diff && UseColour(command.colour, ProcessColourSetting());
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
  auto parsed = ParseCommandLine(args);
  if (auto* command = std::get_if<CliCommand>(&parsed);
      command && command->rulesFromInputAt && !command->showHelp && !command->showVersion) {
    if (std::optional<UsageError> error = ApplyInputRules(*command, in)) parsed = *error;
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
  if (command.listRuns || command.undoRun || command.forgetRun || command.forgetAll) {
    const std::filesystem::path runs = DefaultRunsFolder();
    RunJournals journals(runs, DefaultJournalLimit(runs));
    if (command.listRuns) return ListRuns(journals, out);
    if (command.forgetRun) return ForgetRuns(journals, *command.forgetRun, err);
    if (command.forgetAll) return ForgetRuns(journals, "", err);
    return UndoLastRun(MakeSystemFileStore, command.jobs, journals, *command.undoRun, out, err);
  }
  if (command.jsonlStream) {
    const std::size_t maxRecord = command.maxRecord.value_or(kDefaultMaxRecord);
    return RunStreamMode(command.options, maxRecord, in, out, err);
  }
  if (!command.InPlace()) {
    const FilterOutput output{command.check, command.diff, DiffColour(command)};
    return RunFilterMode(command.options, output, in, out, err);
  }
  return RunInPlaceMode(command, DiffColour(command), in, out, err);
}

}  // namespace quillmere
