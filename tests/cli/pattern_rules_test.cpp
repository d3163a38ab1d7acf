// Regular-expression rules and whole-word rules through the command line:
// each row is the options, the text, and what comes out (or the start of
// the usage error).
#include "pattern_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"
#include "run_tool.h"

namespace quillmere {
namespace {

TEST(PatternRules, RulesMatchAsRe2DoesWhereTheirKindsRun) {
  if (!PatternRulesAvailable()) {
    const test::CliResult r = test::RunTool({"--remove-regex", "a"}, "a");
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("not available in this build"), std::string::npos) << r.err;
    return;
  }
  struct Case {
    std::vector<std::string> args;
    std::string text;
    std::string out;  // "error: " and the start of the usage error
  };
  const Case cases[] = {
      {{"--replace-regex", "([a-z])([0-9]+)", "$2$1"}, "a1 b22 c", "1a 22b c"},
      {{"--replace-regex", "(?P<k>[a-z])=(?P<v>\\d+)", "${v}${1}$$"}, "x=1 y=22", "1x$ 22y$"},
      {{"--replace-regex", "<SPAN[^>]*>", "<span>"}, "<span a=1>x<Span>", "<span>x<span>"},
      {{"--case-sensitive", "--replace-regex", "abc", "x"}, "ABC abc", "ABC x"},
      {{"--replace-regex", "a*", "-"}, "baab", "-b-b-"},
      {{"--replace-regex", ".", "-"}, "h\xC3\xA9", "--"},  // a UTF-8 character counts once
      {{"--remove-regex", "\\s+$"}, "a  \nb ", "a  \nb"},
      // with the literal rules of their kind, in order, at their group's place
      {{"--replace", "a", "b", "--replace-regex", "b+", "c", "--replace", "c", "d"}, "ab", "d"},
      {{"--replace-regex", "x", "y", "--remove-regex", "y"}, "xy", "y"},
      // no pattern takes more than linear time: this one fails at once
      {{"--remove-regex", "(a*)*b"}, std::string(200000, 'a'), std::string(200000, 'a')},
      {{"--word", "--replace", "cat", "dog"}, "cat concat cat.", "dog concat dog."},
      {{"-w", "--remove-text", "cat"}, "Cat CAT concat cat_", "  concat cat_"},
      {{"-w", "--case-sensitive", "--remove-text", "cat"}, "Cat cat", "Cat "},
      // letter case beyond ASCII folds as in the literal rules
      {{"-w", "--remove-text", "\xC3\xA9t\xC3\xA9"},
       "\xC3\x89T\xC3\x89 \xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9s",
       "  \xC3\xA9t\xC3\xA9s"},
      {{"-w", "--remove-text", "-x"}, "a-x -x", "a-x "},        // an edge that is no word character
      {{"-w", "--replace", "a.b", "$1"}, "a.b axb", "$1 axb"},  // literal both ways
      {{"--replace-regex", "(", "x"}, "", "error: --replace-regex: the pattern ( is no regular"},
      {{"--replace-regex", "(a)", "$2"},
       "",
       "error: --replace-regex: the replacement names group $2"},
      {{"--replace-regex", "a", "$x"}, "", "error: --replace-regex: a lone $ in the replacement"},
      {{"--replace-regex", "a", "${b}"},
       "",
       "error: --replace-regex: the replacement names the group ${b}"},
      {{"--replace-regex", "a", "${1"},
       "",
       "error: --replace-regex: a ${ in the replacement is not"},
      {{"--replace-regex", "a", ""}, "", "error: --replace-regex: REPLACEMENT is empty"},
      {{"--remove-regex", ""}, "", "error: --remove-regex: PATTERN is empty"},
  };
  for (const Case& c : cases) {
    const test::CliResult r = test::RunTool(c.args, c.text);
    if (c.out.starts_with("error: ")) {
      const std::string expected = "quillmere-cli: " + c.out.substr(7);
      EXPECT_EQ(r.status, kExitUsage) << c.args[0];
      EXPECT_EQ(r.err.substr(0, expected.size()), expected) << c.args[0];
    } else {
      EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args[1];
      EXPECT_EQ(r.err, "");
    }
  }
}

}  // namespace
}  // namespace quillmere
