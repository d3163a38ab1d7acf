// quillmere-cli over real files at scale: parallel jobs against one job,
// undo after them, file lists, JSON reports, kept times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "diff_store.h"
#include "linux_test_files.h"
#include "run_tool.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::WriteFile;

using test::CliResult;
using test::RunTool;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// A tree with every kind of file a run meets, the same wherever it stands.
void MakeMixedTree(const test::TempFolder& root) {
  test::MakeFolder(root / "sub");
  test::MakeFolder(root / "many");
  WriteFile(root / "a.htm", "<p>aXa</p>  <img src=x>");
  WriteFile(root / "b.html", "plain");
  WriteFile(root / "sub/c.htm", "<table><tr><td>a</td></tr></table>");
  WriteFile(root / "sub/d.txt", "a  \t b <!-- c -->");
  WriteFile(root / "ro.htm", "a");
  ::chmod((root / "ro.htm").c_str(), 0444);
  WriteFile(root / "nul.htm", std::string("a\0b", 3));
  WriteFile(root / "skipped.md", "a");
  ASSERT_EQ(::symlink("a.htm", (root / "z-link.htm").c_str()), 0);  // a.htm again, later
  ASSERT_EQ(::symlink("gone.htm", (root / "dangling.htm").c_str()), 0);
  ASSERT_EQ(::link((root / "sub/c.htm").c_str(), (root / "hard.htm").c_str()), 0);
  for (int i = 0; i < 40; ++i) {
    WriteFile(root / ("many/" + std::to_string(i) + ".htm"),
              i % 4 == 0 ? "nothing to do" : std::string(static_cast<std::size_t>(i) * 997, 'a'));
  }
}

// Every file of the tree, relative, with its content or link target.
std::map<std::string, std::string> Contents(const test::TempFolder& root) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root.path())) {
    const std::string name = entry.path().string().substr(root.path().size());
    if (entry.is_symlink()) {
      contents[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      contents[name] = ReadFile(entry.path().string());
    }
  }
  return contents;
}

// Keeps this test's undo journals to itself.
class InPlaceScaleTest : public ::testing::Test {
 protected:
  InPlaceScaleTest() { ::setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
  ~InPlaceScaleTest() override { ::unsetenv("XDG_STATE_HOME"); }

  test::TempFolder state;
};

TEST_F(InPlaceScaleTest, JobsGiveTheFilesAndOutputOfOneJobAndTheirRunCanBeUndone) {
  for (const std::string report : {"--dry-run", "--diff", "--json", "--keep-mtime"}) {
    if (report == "--diff" && !DiffAvailable()) continue;
    test::TempFolder one;
    test::TempFolder three;
    test::TempFolder pristine;
    MakeMixedTree(one);
    MakeMixedTree(three);
    MakeMixedTree(pristine);
    const auto run = [&](const test::TempFolder& root, const char* jobs) {
      CliResult r = RunTool({"-r", "--pda", "--replace", "a", "AA", "--replace", "X", "<B>",
                             "--fonts", report, "--jobs", jobs, root.path()});
      r.out = test::WithoutDiffTimes(Replaced(r.out, root.path(), "ROOT"));
      r.err = Replaced(r.err, root.path(), "ROOT");
      return r;
    };
    const CliResult serial = run(one, "1");
    const CliResult parallel = run(three, "3");
    EXPECT_EQ(parallel.status, kExitFailure) << report;
    EXPECT_EQ(parallel.status, serial.status) << report;
    EXPECT_EQ(parallel.out, serial.out) << report;
    EXPECT_EQ(parallel.err, serial.err) << report;
    const auto cleaned = Contents(three);
    EXPECT_EQ(cleaned, Contents(one)) << report;
    if (report == "--dry-run" || report == "--diff") {
      EXPECT_EQ(cleaned, Contents(pristine));
    }
    if (report != "--keep-mtime") continue;
    EXPECT_EQ(cleaned.at("/z-link.htm"), "-> a.htm");
    EXPECT_EQ(cleaned.at("/a.htm"), "<p>AAAA</p>");  // once, though it has two names
    const CliResult undone = RunTool({"--undo"});
    EXPECT_EQ(undone.status, kExitOk) << undone.err;
    EXPECT_EQ(Contents(three), Contents(pristine));
  }
}

TEST_F(InPlaceScaleTest, NoUndoKeepsNoJournalAndAForgottenRunCannotBeUndone) {
  test::TempFolder folder;
  const std::string path = folder / "a.htm";
  WriteFile(path, "aXb");
  EXPECT_EQ(RunTool({"--no-undo", "--remove-text", "X", path}).status, kExitOk);
  EXPECT_EQ(RunTool({"--undo"}).status, kExitFailure);  // no run was kept
  EXPECT_EQ(ReadFile(path), "ab");

  WriteFile(path, "aXb");
  ASSERT_EQ(RunTool({"--remove-text", "X", path}).status, kExitOk);
  const std::string listed = RunTool({"--runs"}).out;
  const std::size_t line = listed.find('\n') + 1;
  const std::string run = listed.substr(line, listed.find(' ', line) - line);
  EXPECT_EQ(RunTool({"--forget", run}).status, kExitOk);
  EXPECT_EQ(RunTool({"--forget", run}).status, kExitUsage);  // gone already
  EXPECT_EQ(RunTool({"--undo"}).status, kExitFailure);
  EXPECT_EQ(ReadFile(path), "ab");
}

TEST_F(InPlaceScaleTest, AFileListTakesAnyNameWithNullAndLinesWithout) {
  test::TempFolder folder;
  const std::string odd = folder / "line\nend.htm";
  WriteFile(odd, "aXb");
  WriteFile(folder / "plain.htm", "cXd");
  const CliResult nul = RunTool({"--remove-text", "x", "--files-from", "-", "-0"},
                                odd + std::string(1, '\0') + folder / "plain.htm" + '\0');
  EXPECT_EQ(nul.status, kExitOk) << nul.err;
  EXPECT_EQ(nul.out, "OK. Files : 2, Replaced files : 2, Errors : 0\n");
  EXPECT_EQ(ReadFile(odd), "ab");

  WriteFile(folder / "plain.htm", "cXd");
  WriteFile(folder / "list", "\n" + folder / "plain.htm" + "\n\n");  // blank lines pass
  const CliResult lines = RunTool({"--remove-text", "x", "--files-from", folder / "list"});
  EXPECT_EQ(lines.out, "OK. Files : 1, Replaced files : 1, Errors : 0\n");
  EXPECT_EQ(RunTool({"--notes", "--files-from", "-"}, std::string("a\0b\n", 4)).status, kExitUsage);
}

TEST_F(InPlaceScaleTest, JsonLinesParseBackWithEveryPathExact) {
  test::TempFolder folder;
  const std::string latin1 = folder / "caf\xE9.htm";  // not UTF-8
  WriteFile(latin1, "aXb");
  WriteFile(folder / "same.htm", "ab");
  const CliResult r =
      RunTool({"--json", "--remove-text", "x", latin1, folder / "same.htm", folder / "none"});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.err, "");
  std::vector<nlohmann::json> lines;
  std::istringstream out(r.out);
  for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_FALSE(lines[0].contains("path"));
  const std::string base64 = lines[0]["path_base64"];
  std::string decoded;  // by hand, to check the encoding against its definition
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  unsigned bits = 0;
  int count = 0;
  for (char c : base64) {
    if (c == '=') break;
    bits = bits << 6 | static_cast<unsigned>(alphabet.find(c));
    if ((count += 6) >= 8) decoded += static_cast<char>(bits >> (count -= 8) & 0xFF);
  }
  EXPECT_EQ(decoded, latin1);
  EXPECT_EQ(lines[0]["result"], "changed");
  EXPECT_EQ(lines[0]["bytes_before"], 3);
  EXPECT_EQ(lines[0]["bytes_after"], 2);
  EXPECT_EQ(lines[1]["path"], folder / "same.htm");
  EXPECT_EQ(lines[1]["result"], "unchanged");
  EXPECT_EQ(lines[2]["result"], "error");
  EXPECT_EQ(lines[2]["stage"], "open");
  EXPECT_EQ(lines[2]["kind"], "not_found");
  EXPECT_EQ(lines[2]["reason"], "not found");
  EXPECT_FALSE(lines[2].contains("bytes_before"));
  EXPECT_EQ(lines[3], nlohmann::json::parse(R"({"type":"summary","files":3,"changed":1,
      "errors":1,"restored":0,"dry_run":false,"stopped_by_signal":0})"));
}

TEST_F(InPlaceScaleTest, KeepMtimeGivesAChangedFileBackItsTimes) {
  test::TempFolder folder;
  const timespec old[2] = {{1000000000, 5000}, {1100000000, 7000}};
  // Two files and two workers: their saves are held back and made in a batch.
  for (const bool keep : {true, false}) {
    const std::string name = keep ? "kept" : "new";
    const std::vector<std::string> paths = {folder / (name + "1.htm"), folder / (name + "2.htm")};
    for (const std::string& path : paths) {
      WriteFile(path, "aXb");
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    }
    std::vector<std::string> args = {"--jobs", "2", "--remove-text", "x", paths[0], paths[1]};
    if (keep) args.push_back("--keep-mtime");
    EXPECT_EQ(RunTool(args).status, kExitOk);
    for (const std::string& path : paths) {
      const struct stat after = test::StatOf(path);  // before reading it sets its access time
      EXPECT_EQ(ReadFile(path), "ab");
      EXPECT_EQ(after.st_mtim.tv_sec == old[1].tv_sec && after.st_mtim.tv_nsec == old[1].tv_nsec,
                keep);
      EXPECT_EQ(after.st_atim.tv_sec == old[0].tv_sec && after.st_atim.tv_nsec == old[0].tv_nsec,
                keep);
    }
  }
}

}  // namespace
}  // namespace quillmere
