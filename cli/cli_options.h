#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cleaning_options.h"

namespace quillmere {

// What the command line asks for.
struct CliCommand {
  CleaningOptions options;
  std::vector<std::string> files;  // empty: filter standard input to standard output
  bool dryRun = false;
  bool noUndo = false;                 // no undo journal for this run
  bool diff = false;                   // print the changes as a diff, write nothing
  bool listRuns = false;               // --runs
  std::optional<std::string> undoRun;  // --undo: "" for the last run not undone
  bool showHelp = false;
  bool showVersion = false;
};

// A command line that cannot be run, with the one-line reason.
struct UsageError {
  std::string message;
};

// Parses the arguments after the program name. Arguments are bytes, taken as
// they stand; "--" ends the options.
std::variant<CliCommand, UsageError> ParseCommandLine(const std::vector<std::string>& args);

// The text printed for --help.
std::string UsageText();

}  // namespace quillmere
