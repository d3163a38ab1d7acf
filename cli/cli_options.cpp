#include "cli_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <thread>

#include "diff_store.h"
#include "file_encoding.h"
#include "group_options.h"
#include "option_forms.h"
#include "pattern_rules.h"
#include "rules_file.h"
#include "run_id.h"

namespace quillmere {
namespace {

// The arguments after an option, for the option's own reader.
class OptionArgs {
 public:
  OptionArgs(const std::vector<std::string>& args, std::size_t& at) : args_(args), at_(at) {}
  // The option itself, as written out.
  const std::string& Current() const { return args_[at_]; }
  // The next argument; the parser made sure that the option's count is there.
  const std::string& Take() { return args_[++at_]; }
  // The next argument, if there is one.
  const std::string* Next() const { return at_ + 1 < args_.size() ? &args_[at_ + 1] : nullptr; }

 private:
  const std::vector<std::string>& args_;
  std::size_t& at_;
};

// What an option's reader found wrong, if anything.
using Taken = std::optional<std::string>;
using Take = Taken (*)(CliCommand&, OptionArgs&);

template <bool CliCommand::*flag>
Taken Set(CliCommand& command, OptionArgs&) {
  command.*flag = true;
  return std::nullopt;
}

template <std::vector<std::string> CliCommand::*list>
Taken Append(CliCommand& command, OptionArgs& args) {
  (command.*list).push_back(args.Take());
  return std::nullopt;
}

// One option of the command line besides the cleaning groups: the parser
// and --help are both made from this table.
struct CliOption {
  const char* section;
  const char* shortName;  // "" when there is none
  const char* name;
  const char* arguments;  // as --help names them
  int argumentCount;      // that the parser makes sure of
  const char* help;
  Take take;
};

constexpr int kMostJobs = 256;

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

Taken NotARun(const char* option, const std::string& arg) {
  return std::string(option) + " takes a run's id as --runs lists them (20261207-135601), not \"" +
         arg + "\"";
}

// --undo [RUN]: a run's id may follow, and nothing else but an option.
Taken TakeUndo(CliCommand& c, OptionArgs& args) {
  c.undoRun = "";
  const std::string* next = args.Next();
  if (next == nullptr || IsOption(*next)) return std::nullopt;
  if (!IsRunId(*next)) return NotARun("--undo", *next);
  c.undoRun = args.Take();
  return std::nullopt;
}

Taken TakeForget(CliCommand& c, OptionArgs& args) {
  const std::string& run = args.Take();
  if (!IsRunId(run)) return NotARun("--forget", run);
  c.forgetRun = run;
  return std::nullopt;
}

Taken TakeJobs(CliCommand& c, OptionArgs& args) {
  const std::string& text = args.Take();
  int jobs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (error != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > kMostJobs) {
    return "--jobs takes a number from 1 to " + std::to_string(kMostJobs) + ", not \"" + text +
           "\"";
  }
  c.jobs = jobs;
  return std::nullopt;
}

// A size in bytes, with K, M or G for 1024, 1024 * 1024 or 1024 * 1024 * 1024 of them.
Taken TakeMaxRecord(CliCommand& c, OptionArgs& args) {
  const std::string& text = args.Take();
  std::uint64_t bytes = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, bytes);
  int shift = 0;
  if (stop != end && stop + 1 == end) {
    const std::string_view units = "KMG";
    const std::size_t unit = units.find(static_cast<char>(std::toupper(*stop)));
    shift = unit == std::string_view::npos ? -1 : 10 * static_cast<int>(unit + 1);
  } else if (stop != end) {
    shift = -1;
  }
  constexpr std::uint64_t kMost = std::uint64_t{1} << 40;
  if (error != std::errc() || shift < 0 || bytes == 0 || bytes > (kMost >> shift)) {
    return "--max-record takes a size in bytes from 1 to 1T, with K, M or G after it if you "
           "like (64M), not \"" +
           text + "\"";
  }
  c.maxRecord = static_cast<std::size_t>(bytes << shift);
  return std::nullopt;
}

Taken TakeColour(CliCommand& c, OptionArgs& args) {
  const std::string& word = args.Take();
  const std::optional<ColourMode> mode = ColourModeNamed(word);
  if (!mode) return "--color takes auto, always or never, not \"" + word + "\"";
  c.colour = *mode;
  return std::nullopt;
}

// --replace-regex and --remove-regex, named by the argument before theirs.
Taken TakePattern(CliCommand& c, OptionArgs& args) {
  const std::string& name = args.Current();
  std::vector<std::string> texts{args.Take()};
  if (name == "--replace-regex") texts.push_back(args.Take());
  return ApplyPatternOption(name, texts, c.options, name);
}

Taken TakeWord(CliCommand& c, OptionArgs&) {
  if (!PatternRulesAvailable()) {
    return "-w (--word) is not available in this build: word rules need RE2, which the "
           "Windows build lacks";
  }
  c.wholeWords = true;
  return std::nullopt;
}

// --encoding and --legacy-encoding, named by the argument before theirs.
Taken TakeEncoding(CliCommand& c, OptionArgs& args) {
  const std::string option = args.Current();
  const bool legacy = option == "--legacy-encoding";
  const std::string& name = args.Take();
  if (std::optional<std::string> why = EncodingNameProblem(name, legacy)) {
    return option + " " + name + ": " + *why;
  }
  (legacy ? c.options.encoding.legacy : c.options.encoding.forced) = name;
  return std::nullopt;
}

const CliOption kOptions[] = {
    {"Rules", "", "--rules", "FILE", 1,
     "add the rules of FILE (- for standard input), one cleaning option per line (see below)",
     [](CliCommand& c, OptionArgs& a) -> Taken {
       const std::string& file = a.Take();
       if (file != "-") return ApplyRulesFile(file, c.options);
       if (c.rulesFromInputAt) return "--rules - can be given once: there is one standard input";
       c.rulesFromInputAt = c.options.rules.size();
       return std::nullopt;
     }},
    {"Rules", "", "--replace-regex", "PATTERN REPLACEMENT", 2,
     "replace what the regular expression PATTERN (RE2) matches by REPLACEMENT, where $1, "
     "${1} or ${name} stand for a group and $$ for a dollar; runs with the --replace rules, "
     "in order; repeatable",
     TakePattern},
    {"Rules", "", "--remove-regex", "PATTERN", 1,
     "remove what the regular expression PATTERN matches; runs with the --remove-text rules, "
     "in order; repeatable",
     TakePattern},
    {"Rules", "-w", "--word", "", 0,
     "--replace and --remove-text match whole words only: not next to a letter, digit or _",
     TakeWord},
    {"Files", "-r", "--recursive", "", 0,
     "clean the files under the folders among the FILEs, in sorted order",
     Set<&CliCommand::recursive>},
    {"Files", "", "--include", "GLOB", 1,
     "with -r: take the files that GLOB matches (default: *.htm, *.html, *.txt); repeatable",
     Append<&CliCommand::include>},
    {"Files", "", "--exclude", "GLOB", 1,
     "with -r: leave out the files and folders that GLOB matches; repeatable",
     Append<&CliCommand::exclude>},
    {"Files", "", "--follow", "", 0, "with -r: also enter links to folders",
     Set<&CliCommand::follow>},
    {"Files", "", "--files-from", "LIST", 1,
     "also clean the paths in the file LIST (- for standard input), one per line",
     [](CliCommand& c, OptionArgs& a) -> Taken {
       c.filesFrom = a.Take();
       return std::nullopt;
     }},
    {"Files", "", "--encoding", "NAME", 1,
     "read and write every file in NAME (UTF-8, UTF-16LE, UTF-16BE or a single-byte code "
     "page such as windows-1252) instead of each file's own encoding",
     TakeEncoding},
    {"Files", "", "--legacy-encoding", "NAME", 1,
     "the single-byte code page of files with no byte order mark that are not valid UTF-8 "
     "(default: windows-1252; on Windows the ANSI code page)",
     TakeEncoding},
    {"Files", "-0", "--null", "", 0, "the paths in LIST end in a NUL byte, not a line end",
     Set<&CliCommand::nulSeparated>},
    {"Run", "", "--dry-run", "", 0,
     "clean but write nothing; list the files that would change, and report those that could "
     "not be saved",
     Set<&CliCommand::dryRun>},
    {"Run", "", "--check", "", 0,
     "write nothing; list the files that would change (with --diff, print their diff instead) "
     "and exit with 1 when any would, 0 when none would",
     Set<&CliCommand::check>},
    {"Run", "-q", "--quiet", "", 0,
     "print no summary, no list of files and no progress: only errors (and what --diff or "
     "--json ask for)",
     Set<&CliCommand::quiet>},
    {"Run", "", "--diff", "", 0,
     "write nothing; print what would change as a unified diff on standard output (for patch "
     "-p0), the summary on standard error; with --dry-run also check that each file could be "
     "saved and list them there",
     [](CliCommand& c, OptionArgs&) -> Taken {
       if (!DiffAvailable()) return "--diff is not available in this build";
       c.diff = true;
       return std::nullopt;
     }},
    {"Run", "", "--color", "WHEN", 1,
     "colour the diff: auto (when standard output is a terminal, NO_COLOR is unset and TERM "
     "is not dumb; the default), always or never",
     TakeColour},
    {"Run", "", "--keep-mtime", "", 0,
     "give each changed file back its times of last change and access",
     Set<&CliCommand::keepTimes>},
    {"Run", "-j", "--jobs", "N", 1,
     "clean N files at once (default: the number of processor cores); the report and the "
     "summary are those of --jobs 1",
     TakeJobs},
    {"Run", "", "--json", "", 0,
     "report as JSON Lines on standard output: one object per file, then a summary",
     Set<&CliCommand::json>},
    {"Run", "", "--no-undo", "", 0, "keep no undo journal of this run", Set<&CliCommand::noUndo>},
    {"Streams", "", "--jsonl-stream", "", 0,
     "clean records of JSON Lines from standard input to standard output: {\"id\": ..., "
     "\"text\": ...} in, {\"id\": ..., \"text\": ..., \"changed\": ...} out",
     Set<&CliCommand::jsonlStream>},
    {"Streams", "", "--max-record", "BYTES", 1,
     "with --jsonl-stream: a record longer than BYTES (with K, M or G: KiB, MiB or "
     "GiB; default 256M) is passed over as it is read and answered by an error",
     TakeMaxRecord},
    {"Undo", "", "--runs", "", 0, "list the runs that can be undone", Set<&CliCommand::listRuns>},
    {"Undo", "", "--undo", "[RUN]", 0,
     "put back the files of the last run not undone (or of RUN) that are still what the run "
     "wrote",
     TakeUndo},
    {"Undo", "", "--forget", "RUN", 1, "delete the journal of RUN: it can no longer be undone",
     TakeForget},
    {"Undo", "", "--forget-all", "", 0, "delete the journals of every run",
     Set<&CliCommand::forgetAll>},
    {"Other", "-h", "--help", "", 0, "show this help", Set<&CliCommand::showHelp>},
    {"Other", "", "--version", "", 0, "show the version", Set<&CliCommand::showVersion>},
};

const CliOption* OptionOf(const std::string& arg) {
  const auto found =
      std::find_if(std::begin(kOptions), std::end(kOptions), [&](const CliOption& o) {
        return arg == o.name || (*o.shortName != '\0' && arg == o.shortName);
      });
  return found == std::end(kOptions) ? nullptr : found;
}

std::optional<OptionArity> ArityOfOption(std::string_view name) {
  if (const CleaningGroup* group = GroupOfSwitch(name)) return OptionArity{group->textCount, false};
  const CliOption* option = OptionOf(std::string(name));
  if (option == nullptr) return std::nullopt;
  return OptionArity{option->argumentCount, option->arguments[0] == '['};
}

std::string Needs(const std::string& option, const char* arguments) {
  return "option " + option + " needs " + arguments;
}

// Takes the option at args[i] with its arguments.
std::optional<std::string> TakeOption(const std::vector<std::string>& args, std::size_t& i,
                                      CliCommand& command) {
  const std::string& arg = args[i];
  const std::size_t left = args.size() - i - 1;
  if (const CleaningGroup* group = GroupOfSwitch(arg)) {
    const auto count = static_cast<std::size_t>(group->textCount);
    if (left < count) return Needs(arg, group->cliArguments);
    const std::span texts(args.data() + i + 1, count);
    i += count;
    return ApplyGroup(*group, texts, command.options, arg, "--remove-text");
  }
  const CliOption* option = OptionOf(arg);
  if (option == nullptr) return "unknown option " + arg;
  if (left < static_cast<std::size_t>(option->argumentCount)) {
    return Needs(arg, option->arguments);
  }
  OptionArgs optionArgs(args, i);
  return option->take(command, optionArgs);
}

// The options that read or change the undo journals take no other.
std::optional<std::string> JournalConflict(const CliCommand& c) {
  const char* option = c.listRuns    ? "--runs"
                       : c.undoRun   ? "--undo"
                       : c.forgetRun ? "--forget"
                       : c.forgetAll ? "--forget-all"
                                     : nullptr;
  if (option == nullptr) return std::nullopt;
  const int given = int{c.listRuns} + int{c.undoRun.has_value()} + int{c.forgetRun.has_value()} +
                    int{c.forgetAll};
  const bool others = c.InPlace() || c.options != CleaningOptions{} || c.recursive ||
                      c.jsonlStream || c.json || c.WritesNothing() || c.keepTimes || c.noUndo;
  if (given > 1 || others) {
    return std::string(option) + " takes no cleaning option, no FILE and no other option";
  }
  return std::nullopt;
}

// What the options ask of each other and of the files.
std::optional<std::string> Conflict(const CliCommand& c) {
  if (auto error = JournalConflict(c)) return error;
  const bool inPlace = c.InPlace();
  if (c.jsonlStream && (inPlace || c.json || c.WritesNothing() || c.keepTimes)) {
    return "--jsonl-stream reads standard input: it takes no FILE, --files-from, --json, "
           "--dry-run, --check, --diff or --keep-mtime";
  }
  if (!c.jsonlStream && c.maxRecord) {
    return "--max-record needs --jsonl-stream";
  }
  if (c.diff && c.json) return "--diff and --json both write standard output: give one";
  if (!inPlace) {
    if (c.dryRun) return "--dry-run needs at least one FILE";
    if (c.json) return "--json needs FILEs or --files-from (see --jsonl-stream for text)";
    if (c.keepTimes) return "--keep-mtime needs FILEs or --files-from";
    if (c.recursive) return "-r needs a FOLDER among the FILEs";
  }
  if (!c.recursive && !c.include.empty()) return "--include needs -r (--recursive)";
  if (!c.recursive && !c.exclude.empty()) return "--exclude needs -r (--recursive)";
  if (!c.recursive && c.follow) return "--follow needs -r (--recursive)";
  if (c.nulSeparated && !c.filesFrom) return "-0 (--null) needs --files-from";
  if (c.rulesFromInputAt && (!inPlace || c.jsonlStream || c.filesFrom == "-")) {
    return "--rules - reads standard input, which the text, the stream or --files-from - "
           "reads already";
  }
  return std::nullopt;
}

int ProcessorCores() {
  return static_cast<int>(
      std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(kMostJobs)));
}

// A lone "-" as the FILE (before "--") is standard input: the filter.
std::optional<std::string> StandardInputConflict(const CliCommand& c, int given) {
  if (given == 0 || (given == 1 && !c.InPlace())) return std::nullopt;
  return "- (standard input) is cleaned as a filter: give it once, with no other FILE or "
         "--files-from (./- names a file called -)";
}

}  // namespace

std::variant<CliCommand, UsageError> ParseCommandLine(const std::vector<std::string>& given) {
  auto written = WrittenOut(given, ArityOfOption);
  if (const auto* error = std::get_if<std::string>(&written)) return UsageError{*error};
  const auto& args = std::get<std::vector<std::string>>(written);
  CliCommand command;
  command.jobs = ProcessorCores();
  bool optionsEnded = false;
  int standardInput = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "-") {
      ++standardInput;
    } else if (optionsEnded || !IsOption(arg)) {
      command.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (auto error = TakeOption(args, i, command)) {
      return UsageError{*error};
    }
  }
  if (command.showHelp || command.showVersion) return command;
  if (command.wholeWords) MarkWholeWords(command.options);
  if (auto error = StandardInputConflict(command, standardInput)) return UsageError{*error};
  if (auto error = Conflict(command)) return UsageError{*error};
  return command;
}

static bool NeedsPatterns(std::string_view name) {
  return name == "--replace-regex" || name == "--remove-regex" || name == "--word";
}

std::vector<OptionDoc> OptionDocs() {
  std::vector<OptionDoc> docs;
  for (const CleaningGroup& group : CleaningGroups()) {
    docs.push_back({"Cleaning groups", "", group.cliSwitch, group.cliArguments, group.cliHelp});
  }
  for (const CliOption& o : kOptions) {
    // Only what this build can do is offered.
    if (std::string_view(o.name) == "--diff" && !DiffAvailable()) continue;
    if (NeedsPatterns(o.name) && !PatternRulesAvailable()) continue;
    docs.push_back({o.section, o.shortName, o.name, o.arguments, o.help});
  }
  return docs;
}

}  // namespace quillmere
