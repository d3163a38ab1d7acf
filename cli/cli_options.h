#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cleaning_options.h"
#include "colour_choice.h"

namespace quillmere {

// What the command line asks for.
struct CliCommand {
  CleaningOptions options;
  bool wholeWords = false;         // -w: the literal rules match whole words only
  std::vector<std::string> files;  // none (and no list): filter standard input
  // Folders among the files are walked, taking the files that `include`
  // (default: the text and HTML names) and not `exclude` match.
  bool recursive = false;
  std::vector<std::string> include;
  std::vector<std::string> exclude;
  bool follow = false;                   // enter links to folders
  std::optional<std::string> filesFrom;  // a list of paths; "-" is standard input
  // --rules -: the rules on standard input, read by the run and put among
  // the rules at this place.
  std::optional<std::size_t> rulesFromInputAt;
  bool nulSeparated = false;  // the list's paths end in NUL, not a line end
  bool dryRun = false;
  bool check = false;      // write nothing; exit 1 when a file would change
  bool quiet = false;      // no summary, no list, no progress: only errors
  bool keepTimes = false;  // changed files keep their times
  int jobs = 1;            // files cleaned at once
  bool json = false;       // JSON Lines instead of the human lines
  bool jsonlStream = false;
  std::optional<std::size_t> maxRecord;   // --max-record: the longest record read
  bool noUndo = false;                    // no undo journal for this run
  bool diff = false;                      // print the changes as a diff, write nothing
  ColourMode colour = ColourMode::kAuto;  // of the diff
  bool listRuns = false;                  // --runs
  std::optional<std::string> undoRun;     // --undo: "" for the last run not undone
  std::optional<std::string> forgetRun;   // --forget RUN
  bool forgetAll = false;
  bool showHelp = false;
  bool showVersion = false;

  // Files are cleaned in place, rather than standard input filtered.
  bool InPlace() const { return !files.empty() || filesFrom.has_value(); }
  // Nothing is written: a dry run, a check or a diff.
  bool WritesNothing() const { return dryRun || check || diff; }
};

// A command line that cannot be run, with the one-line reason.
struct UsageError {
  std::string message;
};

// Parses the arguments after the program name. Arguments are bytes, taken as
// they stand; "--" ends the options; the GNU forms --opt=VALUE, -jN and
// bundled short options (-rj2) are taken. A lone "-" as the FILE is standard
// input: the filter. A rules file named by --rules is read here (from
// standard input only by the run). Without --jobs, `jobs` is the number of
// processor cores.
std::variant<CliCommand, UsageError> ParseCommandLine(const std::vector<std::string>& args);

// One option as --help, the manual page and the shell completions show it,
// made from the parser's own tables: the cleaning groups first, in the
// cleaning pass's order, then the other options by section.
struct OptionDoc {
  std::string section;
  std::string shortName;  // "-j", or empty
  std::string name;       // "--jobs"
  std::string arguments;  // "N", "[RUN]", "SEARCH REPLACEMENT", or empty
  std::string help;
};

// Every option this build offers.
std::vector<OptionDoc> OptionDocs();

}  // namespace quillmere
