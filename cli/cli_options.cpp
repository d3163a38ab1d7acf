#include "cli_options.h"

#include <algorithm>
#include <optional>

#include "cleaning_groups.h"
#include "diff_store.h"

namespace quillmere {
namespace {

const CleaningGroup* GroupOf(const std::string& arg) {
  const auto groups = CleaningGroups();
  const auto found = std::find_if(groups.begin(), groups.end(),
                                  [&](const CleaningGroup& g) { return arg == g.cliSwitch; });
  return found == groups.end() ? nullptr : &*found;
}

// "20261207-135601", perhaps with "-2" after it.
bool IsRunId(const std::string& arg) {
  if (arg.size() < 15 || arg[8] != '-') return false;
  for (std::size_t i = 0; i < arg.size(); ++i) {
    if (i == 8 || (i >= 15 && arg[i] == '-')) continue;
    if (arg[i] < '0' || arg[i] > '9') return false;
  }
  return true;
}

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

// Takes a group's switch and its arguments; the error when they are missing.
std::optional<UsageError> TakeGroup(const CleaningGroup& group,
                                    const std::vector<std::string>& args, std::size_t& i,
                                    CleaningOptions& options) {
  const auto count = static_cast<std::size_t>(group.textCount);
  if (args.size() - i - 1 < count) {
    return UsageError{"option " + args[i] + " needs " +
                      (count == 1 ? "an argument" : "two arguments")};
  }
  options.*group.field = true;
  for (std::size_t t = 0; t < count; ++t) options.*group.texts[t] = args[i + 1 + t];
  i += count;
  if (group.field == &CleaningOptions::pdaPreset) SetPdaSwitches(options);
  return std::nullopt;
}

// "  --remove-text TEXT    remove every TEXT", the help in a column; a
// switch too long for its column gets the help on the next line.
std::string OptionLine(const std::string& option, const std::string& help) {
  constexpr std::size_t kHelpColumn = 24;
  std::string line = "  " + option;
  if (line.size() + 2 > kHelpColumn) {
    line += "\n";
    line.append(kHelpColumn, ' ');
  } else {
    line.append(kHelpColumn - line.size(), ' ');
  }
  return line + help + "\n";
}

// Wraps a help text after `width` columns, the next lines indented to the
// help column.
std::string Wrapped(const std::string& text) {
  constexpr std::size_t kWidth = 52;
  std::string out;
  std::size_t lineStart = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    if (out.size() - lineStart + (end - start) > kWidth && out.size() > lineStart) {
      out.back() = '\n';
      out.append(24, ' ');
      lineStart = out.size();
    }
    out.append(text, start, end - start);
    out += ' ';
    start = end + 1;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace

std::variant<CliCommand, UsageError> ParseCommandLine(const std::vector<std::string>& args) {
  CliCommand command;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      command.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (const CleaningGroup* group = GroupOf(arg)) {
      if (auto error = TakeGroup(*group, args, i, command.options)) return *error;
    } else if (arg == "--dry-run") {
      command.dryRun = true;
    } else if (arg == "--no-undo") {
      command.noUndo = true;
    } else if (arg == "--diff") {
      if (!DiffAvailable()) return UsageError{"--diff is not available in this build"};
      command.diff = true;
    } else if (arg == "--runs") {
      command.listRuns = true;
    } else if (arg == "--undo") {
      // A run id may follow; anything else is a file or an option.
      const bool runGiven = i + 1 < args.size() && IsRunId(args[i + 1]);
      command.undoRun = runGiven ? args[++i] : "";
    } else if (arg == "--help" || arg == "-h") {
      command.showHelp = true;
    } else if (arg == "--version") {
      command.showVersion = true;
    } else {
      return UsageError{"unknown option " + arg};
    }
  }
  if (command.dryRun && command.files.empty() && !command.showHelp && !command.showVersion) {
    return UsageError{"--dry-run needs at least one FILE"};
  }
  if (command.diff && command.files.empty() && !command.showHelp && !command.showVersion) {
    return UsageError{"--diff needs at least one FILE"};
  }
  return command;
}

std::string UsageText() {
  std::string text = R"(Usage: quillmere-cli [OPTIONS] [FILE...]
Cleans HTML and plain-text files. With no FILE, cleans standard input to
standard output. With FILEs, cleans each file in place; a file is rewritten
only when its text changed, and no backup is made.

Cleaning groups (applied in this order, whatever the order given):
)";
  for (const CleaningGroup& group : CleaningGroups()) {
    std::string option = group.cliSwitch;
    if (*group.cliArguments != '\0') option += std::string(" ") + group.cliArguments;
    text += OptionLine(option, Wrapped(group.cliHelp));
  }
  text += R"(
Other options:
  --dry-run             with FILEs: clean but write nothing; list the files
                        that would change, and report those that could not
                        be saved
  --diff                with FILEs: write nothing; print what would change as a
                        unified diff on standard output (for patch -p0), the
                        summary on standard error; with --dry-run also check
                        that the files could be saved and list them there
  --no-undo             keep no undo journal of this run
  --runs                list the runs that can be undone
  --undo [RUN]          put back the files of the last run not undone (or
                        of RUN) that are still what the run wrote
  --help                show this help
  --version             show the version

An empty TEXT, BEGIN, END, SEARCH or REPLACEMENT leaves its group off.
Errors go to standard error as "File open error: PATH" or "File save error:
PATH", a tab, and the reason.
Exit status: 0 success, 1 a file or input could not be cleaned, 2 usage
error, 128 plus the signal's number when a signal stopped the run (130 for
Ctrl+C).
)";
  return text;
}

}  // namespace quillmere
