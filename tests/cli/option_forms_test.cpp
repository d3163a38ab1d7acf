// The forms an option may take on the command line: each row is one way of
// writing it, and what the parser made of it (or the start of its error).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_docs.h"
#include "cli_options.h"

namespace quillmere {
namespace {

// The parts of a command the rows below set.
std::string Described(const CliCommand& c) {
  std::string text = "jobs=" + std::to_string(c.jobs);
  if (c.recursive) text += " r";
  if (c.nulSeparated) text += " 0";
  if (c.quiet) text += " q";
  if (c.check) text += " check";
  if (c.colour == ColourMode::kAlways) text += " colour=always";
  if (c.colour == ColourMode::kNever) text += " colour=never";
  if (c.filesFrom) text += " from=" + *c.filesFrom;
  if (c.maxRecord) text += " max=" + std::to_string(*c.maxRecord);
  if (c.rulesFromInputAt) text += " rules-at=" + std::to_string(*c.rulesFromInputAt);
  if (c.undoRun) text += " undo=" + *c.undoRun;
  for (const TextRule& rule : c.options.rules) text += " rule=" + rule.first;
  for (const std::string& file : c.files) text += " [" + file + "]";
  if (!c.InPlace() && !c.jsonlStream && !c.undoRun) text += " filter";
  return text;
}

std::string Parsed(const std::vector<std::string>& args) {
  const auto parsed = ParseCommandLine(args);
  if (const auto* error = std::get_if<UsageError>(&parsed)) return "error: " + error->message;
  return Described(std::get<CliCommand>(parsed));
}

TEST(OptionForms, EachFormMeansWhatItsLongFormMeans) {
  struct Case {
    std::vector<std::string> args;
    std::string parsed;  // a prefix when it ends in "..."
  };
  const Case cases[] = {
      {{"--jobs", "2", "a"}, "jobs=2 [a]"},
      {{"--jobs=2", "a"}, "jobs=2 [a]"},
      {{"-j2", "a"}, "jobs=2 [a]"},
      {{"-j", "2", "a"}, "jobs=2 [a]"},
      {{"-rj2", "a"}, "jobs=2 r [a]"},
      {{"-qrj", "3", "a"}, "jobs=3 r q [a]"},
      {{"-j1", "--files-from=-", "-r0"}, "jobs=1 r 0 from=-"},
      {{"-j1", "--color=never", "--check", "a"}, "jobs=1 check colour=never [a]"},
      {{"-j1", "--color", "always", "a"}, "jobs=1 colour=always [a]"},
      {{"-j1", "--jsonl-stream", "--max-record=2K"}, "jobs=1 max=2048"},
      {{"-j1", "--jsonl-stream", "--max-record", "3m"}, "jobs=1 max=3145728"},
      {{"-j1", "--undo=20261207-135601"}, "jobs=1 undo=20261207-135601"},
      // An option's own argument is taken as it stands.
      {{"-j1", "--remove-text=-r", "--remove-text", "-j5", "a"}, "jobs=1 rule=-r rule=-j5 [a]"},
      {{"-j1", "--replace", "--x=1", "-q", "a"}, "jobs=1 rule=--x=1 [a]"},
      // - is standard input; after --, a file named -.
      {{"-j1", "--fonts", "-"}, "jobs=1 filter"},
      {{"-j1", "--", "-", "-r"}, "jobs=1 [-] [-r]"},
      {{"-j1", "--remove-text", "x", "--rules", "-", "a"}, "jobs=1 rules-at=1 rule=x [a]"},
      {{"-jx", "a"}, "error: --jobs takes a number..."},
      {{"-rx", "a"}, "error: unknown option -x in -rx"},
      {{"--check=1", "a"}, "error: option --check takes no value"},
      {{"--replace=a", "b", "c"}, "error: option --replace takes 2 arguments..."},
      {{"--nope=1"}, "error: unknown option --nope"},
      {{"--color=maybe", "a"}, "error: --color takes auto, always or never, not \"maybe\""},
      {{"--max-record=0", "--jsonl-stream"}, "error: --max-record takes a size..."},
      {{"--max-record=1X", "--jsonl-stream"}, "error: --max-record takes a size..."},
      {{"--max-record=1K", "a"}, "error: --max-record needs --jsonl-stream"},
      {{"-", "a"}, "error: - (standard input) is cleaned as a filter..."},
      {{"-", "-"}, "error: - (standard input) is cleaned as a filter..."},
      {{"--rules", "-"}, "error: --rules - reads standard input..."},
      {{"--rules", "-", "--files-from", "-"}, "error: --rules - reads standard input..."},
      {{"--rules", "-", "--rules", "-", "a"}, "error: --rules - can be given once..."},
      {{"--check", "--jsonl-stream"}, "error: --jsonl-stream reads standard input..."},
  };
  for (const Case& c : cases) {
    const std::string parsed = Parsed(c.args);
    if (c.parsed.ends_with("...")) {
      EXPECT_EQ(parsed.substr(0, c.parsed.size() - 3), c.parsed.substr(0, c.parsed.size() - 3))
          << c.args[0];
    } else {
      EXPECT_EQ(parsed, c.parsed) << c.args[0];
    }
  }
}

TEST(OptionForms, TheManualsExamplesAreCommandsThatParse) {
  for (const CliExample& example : CliExamples()) {
    const auto parsed = ParseCommandLine(example.args);
    const auto* error = std::get_if<UsageError>(&parsed);
    EXPECT_EQ(error, nullptr) << example.what << ": " << (error ? error->message : "");
  }
}

}  // namespace
}  // namespace quillmere
