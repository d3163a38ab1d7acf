// quillmere-cli without files: options, filtering standard input, exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "cli_options.h"
#include "colour_choice.h"
#include "diff_store.h"
#include "run_tool.h"

namespace quillmere {
namespace {

using test::CliResult;
using test::RunTool;

TEST(CliFilter, CleansStandardInputWithTheChosenGroups) {
  const CliResult r =
      RunTool({"--tables", "--fonts"}, "<table x><tr><td>a</td></tr></table><B>b</B>");
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out, "<p>a</p>b");
  EXPECT_EQ(r.err, "");
}

TEST(CliFilter, WithNoOptionTheTextPassesUnchanged) {
  const std::string text = "  <B>keep \xE9</B>\r\n";
  EXPECT_EQ(RunTool({}, text).out, text);
  EXPECT_EQ(RunTool({}, "").out, "");
}

TEST(CliFilter, TextOptionsTakeTheirArgumentsAsBytes) {
  // Bytes that are no UTF-8 are the code page's own: in a windows-1252 text
  // "\xE9t\xE9" is "été", and removing folds it with "ÉTÉ".
  EXPECT_EQ(RunTool({"--remove-text", "\xE9t\xE9"}, "\xE9t\xE9 \xC9T\xC9 x").out, "  x");
  EXPECT_EQ(RunTool({"--remove-block", "<a", "</a>"}, "x<A HREF=y>l</A>z").out, "xz");
  EXPECT_EQ(RunTool({"--replace", "foo", "bar"}, "Foo foo").out, "bar bar");
  EXPECT_EQ(RunTool({"--replace", "foo", "bar", "--case-sensitive"}, "Foo foo").out, "Foo bar");
  // An option value that looks like an option is still a value.
  EXPECT_EQ(RunTool({"--replace", "--", "-"}, "a--b").out, "a-b");
}

TEST(CliFilter, TextIsCleanedInItsOwnEncoding) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string in;
    std::string out;
    std::string err;
  };
  for (const Case& c : std::vector<Case>{
           {"Utf8Bom", {"--fonts"}, "\xEF\xBB\xBF<b>x</b>", "\xEF\xBB\xBFx", ""},
           {"Utf16Le", {"--fonts"}, "\xFF\xFE<\0b\0>\0x\0\r\0\n\0"s, "\xFF\xFEx\0\r\0\n\0"s, ""},
           {"Utf16Be", {"--fonts"}, "\xFE\xFF\0<\0b\0>\0x\0\r\0\n"s, "\xFE\xFF\0x\0\r\0\n"s, ""},
           {"Utf16LeForcedWithoutMark",
            {"--encoding", "UTF-16LE", "--fonts"},
            "<\0b\0>\0x\0"s,
            "x\0"s,
            ""},
           {"Utf16BeForcedWithoutMark",
            {"--encoding", "utf-16be", "--fonts"},
            "\0<\0b\0>\0x"s,
            "\0x"s,
            ""},
           {"Legacy", {"--replace", "\xC3\xA9", "e"}, "caf\xE9", "cafe", ""},
           {"LegacyChosen",
            {"--legacy-encoding", "ISO-8859-7", "--replace", "\xCE\xB1", "a"},
            "\xE1\xE1 \xE9",
            "aa \xE9",
            ""},
           {"NotRepresentable",
            {"--replace", "\xCE\xA9", "o"},
            "caf\xE9",
            "caf\xE9",
            "quillmere-cli: rule text not representable in windows-1252\n"},
           {"UnpairedSurrogate",
            {"--fonts"},
            "\xFF\xFE\x00\xD8"s,
            "",
            "quillmere-cli: standard input is refused: not text in its encoding (UTF-16LE BOM "
            "with an unpaired surrogate at byte 0)\n"},
       }) {
    const CliResult r = RunTool(c.args, c.in);
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
  }
}

TEST(CliFilter, AnUnknownEncodingIsAUsageError) {
  const CliResult r = RunTool({"--encoding", "no-such-page"}, "x");
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err,
            "quillmere-cli: --encoding no-such-page: no single-byte code page of that "
            "name on this system (try --help)\n");
}

TEST(CliFilter, AnEmptyTextIsAUsageErrorThatSaysHowToDeleteText) {
  for (const auto& [args, named] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--replace", "a", ""}, "REPLACEMENT is empty"},
           {{"--replace", "", "b"}, "SEARCH is empty"},
           {{"--remove-text", ""}, "TEXT is empty"},
           {{"--remove-block", "", "n"}, "BEGIN is empty"},
           {{"--remove-block", "b", ""}, "END is empty"}}) {
    const CliResult r = RunTool(args, "banana");
    EXPECT_EQ(r.status, kExitUsage) << named;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quillmere-cli: " + args[0] + ": " + named +
                         "; to delete a text, use --remove-text TEXT (try --help)\n");
  }
}

TEST(CliFilter, RepeatedRulesAllRunInTheOrderGiven) {
  EXPECT_EQ(RunTool({"--replace", "foo", "X", "--replace", "bar", "Y"}, "foo bar foo").out,
            "X Y X");
  EXPECT_EQ(RunTool({"--remove-text", "a", "--remove-text", "N"}, "banana").out, "b");
  EXPECT_EQ(RunTool({"--remove-block", "<", ">", "--remove-block", "[", "]"}, "a<b>c[d]e").out,
            "ace");
  // Remove text runs before replace, whatever the order given.
  EXPECT_EQ(RunTool({"--replace", "x", "yy", "--remove-text", "y"}, "xy").out, "yy");
}

TEST(CliFilter, ACheckOrADiffOfStandardInputWritesNoText) {
  EXPECT_EQ(RunTool({"--check", "--fonts"}, "<b>x</b>").status, kExitFailure);
  EXPECT_EQ(RunTool({"--check", "--fonts"}, "<b>x</b>").out, "");
  EXPECT_EQ(RunTool({"--check", "--fonts"}, "x").status, kExitOk);
  if (!DiffAvailable()) return;
  const CliResult r = RunTool({"--diff", "--fonts", "-"}, "<b>x</b>\n");
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(test::WithoutDiffTimes(r.out), "--- -\n+++ -\n@@ -1 +1 @@\n-<b>x</b>\n+x\n");
  EXPECT_EQ(RunTool({"--diff", "--check", "--fonts"}, "<b>x</b>\n").status, kExitFailure);
}

TEST(CliFilter, ADiffShowsTextInAnotherEncodingAsUtf8) {
  if (!DiffAvailable()) GTEST_SKIP() << "this build has no diff";
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string diff;
  };
  const std::string head = "--- -\n+++ -\n@@ -1 +1 @@\n";
  const Case cases[] = {
      {"UTF-16LE", {"--fonts"}, "\xFF\xFE<\0b\0>\0x\0<\0/\0b\0>\0\n\0"s, head + "-<b>x</b>\n+x\n"},
      {"UTF-16BE",
       {"--fonts"},
       "\xFE\xFF\0<\0b\0>\0\xE9\0<\0/\0b\0>\0\n"s,
       head + "-<b>\xC3\xA9</b>\n+\xC3\xA9\n"},
      {"code page",
       {"--fonts", "--legacy-encoding", "windows-1252"},
       "<b>\xE9</b>\n",
       head + "-<b>\xC3\xA9</b>\n+\xC3\xA9\n"},
      // Read in the encoding of the text before: the text after is valid
      // UTF-8 but still a code page's.
      {"code page, UTF-8 after",
       {"--remove-text", "\xFF", "--legacy-encoding", "windows-1252"},
       "\xC3\xA9\xFF\n",
       head + "-\xC3\x83\xC2\xA9\xC3\xBF\n+\xC3\x83\xC2\xA9\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--diff"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = RunTool(args, c.input);
    EXPECT_EQ(r.status, kExitOk) << c.name << r.err;
    EXPECT_EQ(test::WithoutDiffTimes(r.out), c.diff) << c.name;
  }
}

TEST(CliFilter, ColourFollowsTheOptionThenTheTerminalNoColorAndTerm) {
  struct Case {
    ColourMode mode;
    ColourSetting setting;
    bool colour;
  };
  const Case cases[] = {
      {ColourMode::kAuto, {nullptr, "xterm", true}, true},
      {ColourMode::kAuto, {nullptr, "xterm", false}, false},  // a pipe
      {ColourMode::kAuto, {"1", "xterm", true}, false},
      {ColourMode::kAuto, {"", "xterm", true}, true},  // NO_COLOR empty counts as unset
      {ColourMode::kAuto, {nullptr, "dumb", true}, false},
      {ColourMode::kAlways, {"1", "dumb", false}, true},
      {ColourMode::kNever, {nullptr, "xterm", true}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UseColour(c.mode, c.setting), c.colour)
        << static_cast<int>(c.mode) << (c.setting.noColour ? c.setting.noColour : "-")
        << c.setting.term << c.setting.outputShowsEscapes;
  }
}

TEST(CliFilter, ThePresetTicksItsSevenGroupsOnly) {
  const CliResult r = RunTool({"--pda"}, "<ul><li>a</ul>  <img x><b>bold</b>\r\n\r\n<!--c-->");
  EXPECT_EQ(r.out, "<BR>a <b>bold</b>\r\n");
}

TEST(CliFilter, InputHoldingANulByteIsRefused) {
  const CliResult r = RunTool({"--notes"}, std::string("a  b\0c", 6));
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err, "");
}

// An endless stream of NUL bytes, as /dev/zero gives.
class EndlessZeros : public std::streambuf {
 protected:
  int_type underflow() override {
    setg(zeros_, zeros_, zeros_ + sizeof zeros_);
    return 0;
  }

 private:
  char zeros_[4096] = {};
};

TEST(CliFilter, EndlessInputOfNulBytesIsRefusedAtOnce) {
  EndlessZeros zeros;
  std::istream in(&zeros);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--notes"}, in, out, err), kExitFailure);  // would never end otherwise
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "quillmere-cli: standard input holds a NUL byte; it is not text (UTF-16 without its "
            "byte order mark needs --encoding)\n");
}

TEST(CliFilter, UsageErrorsExitWithTwoAndOneLine) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--bogus"},
                                             {"--remove-text"},
                                             {"--replace", "x"},
                                             {"--remove-block", "a"},
                                             {"--dry-run"},
                                             {"--check", "--dry-run"},
                                             {"--json"},  // in-place options without a file
                                             {"--keep-mtime"},
                                             {"-r"},
                                             {"--include", "*.x", "a"},  // tree options without -r
                                             {"--exclude", "x", "a"},
                                             {"--follow", "a"},
                                             {"-0", "a"},  // without --files-from
                                             {"--jobs", "0", "a"},
                                             {"--jobs", "2x", "a"},
                                             {"--jsonl-stream", "a"},
                                             {"--rules", "/nonexistent/rules"},
                                             // --undo takes a run's id or nothing else
                                             {"--undo", "a.html"},
                                             {"--undo", "latest"},
                                             {"--undo", "--pda", "x.html"},
                                             {"--undo", "20261207-135601", "x.html"},
                                             {"--jsonl-stream", "--undo"},
                                             {"--runs", "--undo"},
                                             {"--forget", "bogus"},
                                             {"--forget-all", "--no-undo"}}) {
    const CliResult r = RunTool(args, "text");
    EXPECT_EQ(r.status, kExitUsage) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(CliFilter, HelpAndVersion) {
  EXPECT_EQ(RunTool({"--version"}).out, "quillmere-cli 1.0.9\n");
  const CliResult help = RunTool({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  for (const char* option :
       {"--tables",      "--scripts",      "--pictures",   "--forms",      "--sounds",
        "--notes",       "--lists",        "--fonts",      "--pda",        "--case-sensitive",
        "--remove-text", "--remove-block", "--replace",    "--rules",      "--recursive",
        "--include",     "--exclude",      "--follow",     "--files-from", "--null",
        "--dry-run",     "--diff",         "--keep-mtime", "--jobs",       "--json",
        "--no-undo",     "--jsonl-stream", "--runs",       "--undo",       "--forget",
        "--forget-all",  "--version",      "--check",      "--quiet",      "--color",
        "--max-record"}) {
    // A build without the diff library does not offer --diff.
    const bool offered = std::string_view(option) != "--diff" || DiffAvailable();
    EXPECT_EQ(help.out.find(option) != std::string::npos, offered) << option;
  }
}

TEST(CliOptions, FilesAndTheEndOfOptions) {
  const auto parsed = ParseCommandLine({"--notes", "a.htm", "--", "--fonts", "-"});
  ASSERT_TRUE(std::holds_alternative<CliCommand>(parsed));
  const auto& command = std::get<CliCommand>(parsed);
  EXPECT_EQ(command.files, (std::vector<std::string>{"a.htm", "--fonts", "-"}));
  EXPECT_TRUE(command.options.cleanNotes);
  EXPECT_FALSE(command.options.removeFonts);
}

}  // namespace
}  // namespace quillmere
