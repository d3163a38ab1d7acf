// The rules file: its line format, quoting and errors with line numbers, and
// its place among the rules of the command line.
#include "rules_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "cli_options.h"
#include "pattern_rules.h"

namespace quillmere {
namespace {

using K = TextRule::Kind;

TEST(RulesFile, LinesBecomeRulesAndSwitches) {
  struct Case {
    std::string text;
    std::vector<TextRule> rules;
  };
  const Case cases[] = {
      {"# a comment\n\n  \t# indented\r\nreplace a b\r\n", {{K::kReplace, "a", "b"}}},
      {"remove-text \"a b\"", {{K::kRemoveText, "a b", ""}}},
      {"remove-text \"  lead\"", {{K::kRemoveText, "  lead", ""}}},
      {"replace \"\\t\" \" \"", {{K::kReplace, "\t", " "}}},
      {"replace \"\\\\\" /", {{K::kReplace, "\\", "/"}}},
      {"remove-text \"\\r\\n\\x41\\\"\"", {{K::kRemoveText, "\r\nA\"", ""}}},
      {"remove-block \"<div class=\\\"ad\\\">\" </div>",
       {{K::kRemoveBlock, "<div class=\"ad\">", "</div>"}}},
      {"remove-text a\"b", {{K::kRemoveText, "a\"b", ""}}},  // quotes inside a word are text
      {"remove-text #x", {{K::kRemoveText, "#x", ""}}},      // only a line can be a comment
      {"replace-regex <span[^>]*> \"<span> $$\"\nremove-regex \"\\\\d\"",
       {{K::kReplacePattern, "<span[^>]*>", "<span> $$"}, {K::kRemovePattern, "\\d", ""}}},
      {"replace a b\nremove-text c\nreplace d e",
       {{K::kReplace, "a", "b"}, {K::kRemoveText, "c", ""}, {K::kReplace, "d", "e"}}},
  };
  for (const Case& c : cases) {
    // A build without regular expressions refuses their rules (below).
    if (!PatternRulesAvailable() && c.text.find("-regex") != std::string::npos) continue;
    CleaningOptions options;
    ASSERT_EQ(ApplyRules(c.text, "r", options), std::nullopt) << c.text;
    EXPECT_EQ(options.rules, c.rules) << c.text;
  }
  CleaningOptions options;
  ASSERT_EQ(ApplyRules("pda\nfonts\ncase-sensitive\nremove-text x", "r", options), std::nullopt);
  EXPECT_TRUE(options.convertTables && options.cleanNotes && options.removeFonts);
  EXPECT_TRUE(options.caseSensitive && options.removeTextEnabled);
  EXPECT_FALSE(options.searchEnabled);
}

TEST(RulesFile, ABadLineIsRefusedWithItsNumberAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"\n\nbogus x", "r:3: unknown rule \"bogus\""},
      {"--tables", "r:1: unknown rule \"--tables\""},
      {"replace a", "r:1: replace takes SEARCH REPLACEMENT"},
      {"replace-regex a", "r:1: replace-regex takes PATTERN REPLACEMENT"},
      {"remove-regex (", "r:1: remove-regex: the pattern ( is no regular expression: missing ): ("},
      {"remove-text \"  lead\"\tmore", "r:1: remove-text takes TEXT"},
      {"tables x", "r:1: tables takes no text"},
      {"fonts\nremove-text \"abc", "r:2: a quote is not closed"},
      {"remove-text \"a\\qb\"", "r:1: unknown escape \\q (use \\\\ for a backslash)"},
      {"remove-text \"\\x4\"", "r:1: \\x needs two hexadecimal digits"},
      {"remove-text \"a\"b", "r:1: a space must follow a closing quote"},
      {"replace a \"\"",
       "r:1: replace: REPLACEMENT is empty; to delete a text, use remove-text TEXT"},
      {"remove-block \"\" b",
       "r:1: remove-block: BEGIN is empty; to delete a text, use remove-text TEXT"},
      {std::string("remove-text a\0b", 15), "r:1: holds a NUL byte"},
  };
  for (const auto& [text, error] : cases) {
    if (!PatternRulesAvailable() && text.find("-regex") != std::string::npos) continue;
    CleaningOptions options;
    EXPECT_EQ(ApplyRules(text, "r", options), error) << text;
  }
  if (!PatternRulesAvailable()) {
    CleaningOptions options;
    EXPECT_THAT(ApplyRules("replace-regex a b", "r", options).value_or(""),
                ::testing::HasSubstr("r:1: replace-regex is not available in this build"));
  }
}

TEST(RulesFile, ItsRulesStandWhereRulesStandsOnTheCommandLine) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("quillmere-rules-" + std::to_string(std::random_device()()));
  std::ofstream(file) << "replace b c\n";
  const auto parsed =
      ParseCommandLine({"--replace", "a", "b", "--rules", file.string(), "--replace", "c", "d"});
  std::filesystem::remove(file);
  ASSERT_TRUE(std::holds_alternative<CliCommand>(parsed));
  EXPECT_EQ(std::get<CliCommand>(parsed).options.rules,
            (std::vector<TextRule>{
                {K::kReplace, "a", "b"}, {K::kReplace, "b", "c"}, {K::kReplace, "c", "d"}}));
}

}  // namespace
}  // namespace quillmere
