#include "cli_options.h"

#include <functional>
#include <map>

namespace quillmere {
namespace {

using Switch = std::int32_t CleaningOptions::*;

const std::map<std::string, Switch>& GroupSwitches() {
  static const std::map<std::string, Switch> switches = {
      {"--tables", &CleaningOptions::convertTables},
      {"--scripts", &CleaningOptions::removeScripts},
      {"--pictures", &CleaningOptions::removePictures},
      {"--forms", &CleaningOptions::removeForms},
      {"--sounds", &CleaningOptions::removeSounds},
      {"--notes", &CleaningOptions::cleanNotes},
      {"--lists", &CleaningOptions::convertLists},
      {"--fonts", &CleaningOptions::removeFonts},
      {"--case-sensitive", &CleaningOptions::caseSensitive},
  };
  return switches;
}

// An option with text arguments: how many it takes and where they go.
struct TextOption {
  int argumentCount;
  std::function<void(CleaningOptions&, const std::string*)> apply;
};

const std::map<std::string, TextOption>& TextOptions() {
  static const std::map<std::string, TextOption> options = {
      {"--remove-text",
       {1,
        [](CleaningOptions& o, const std::string* a) {
          o.removeTextEnabled = 1;
          o.removeText = a[0];
        }}},
      {"--remove-block",
       {2,
        [](CleaningOptions& o, const std::string* a) {
          o.removeBlockEnabled = 1;
          o.blockBegin = a[0];
          o.blockEnd = a[1];
        }}},
      {"--replace",
       {2,
        [](CleaningOptions& o, const std::string* a) {
          o.searchEnabled = 1;
          o.searchText = a[0];
          o.replaceText = a[1];
        }}},
  };
  return options;
}

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
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
    } else if (auto group = GroupSwitches().find(arg); group != GroupSwitches().end()) {
      command.options.*(group->second) = 1;
    } else if (arg == "--pda") {
      command.options.pdaPreset = 1;
      SetPdaSwitches(command.options);
    } else if (auto text = TextOptions().find(arg); text != TextOptions().end()) {
      const auto count = static_cast<std::size_t>(text->second.argumentCount);
      if (args.size() - i - 1 < count) {
        return UsageError{"option " + arg + " needs " +
                          (count == 1 ? "an argument" : "two arguments")};
      }
      text->second.apply(command.options, &args[i + 1]);
      i += count;
    } else if (arg == "--dry-run") {
      command.dryRun = true;
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
  return command;
}

std::string UsageText() {
  return R"(Usage: quillmere-cli [OPTIONS] [FILE...]
Cleans HTML and plain-text files. With no FILE, cleans standard input to
standard output. With FILEs, cleans each file in place; a file is rewritten
only when its text changed, and no backup is made.

Cleaning groups (applied in this order, whatever the order given):
  --tables              convert tables to text
  --scripts             remove scripts and applets
  --pictures            remove pictures and videos
  --forms               remove forms with their content
  --sounds              remove background sounds
  --remove-text TEXT    remove every TEXT (letter case ignored)
  --remove-block BEGIN END
                        remove every block from BEGIN through END
  --replace SEARCH REPLACEMENT
                        replace every SEARCH by REPLACEMENT
  --notes               remove comments, tabs, doubled spaces, breaks and line ends
  --lists               convert lists to text
  --fonts               remove font and text-style markup
  --pda                 the "Set for PDA" preset: tables, scripts, pictures,
                        forms, sounds, notes and lists
  --case-sensitive      match SEARCH and the fixed conversions in exact case

Other options:
  --dry-run             with FILEs: clean but write nothing; list the files
                        that would change
  --help                show this help
  --version             show the version

An empty TEXT, BEGIN, END, SEARCH or REPLACEMENT leaves its group off.
Exit status: 0 success, 1 a file or input could not be cleaned, 2 usage
error, 130 interrupted.
)";
}

}  // namespace quillmere
