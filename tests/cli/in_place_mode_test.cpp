#include "in_place_mode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "diff_store.h"
#include "linux_test_files.h"
#include "memory_file_store.h"
#include "run_tool.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

// One worker, over the one store.
BaseStores Stores(FileStore& store) {
  return [&store]() -> FileStore& { return store; };
}

class InPlaceModeTest : public ::testing::Test {
 protected:
  InPlaceModeTest() {
    command.options.removeTextEnabled = true;
    command.options.removeText = "X";
  }

  int Run(bool showProgress = false) {
    return RunInPlaceMode(command, Stores(store), nullptr, in, out, err, showProgress);
  }

  CliCommand command;
  test::MemoryFileStore store;
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(InPlaceModeTest, HandlesTheFilesInTheOrderGivenEachOnce) {
  store.files = {{"a", "X"}, {"b", "b"}, {"c", "cX"}};
  command.files = {"b", "a", "c", "a", "b"};
  EXPECT_EQ(Run(), kExitOk);
  EXPECT_THAT(store.loads, ElementsAre("b", "a", "c"));
  EXPECT_THAT(store.saves, ElementsAre("a", "c"));
  EXPECT_EQ(out.str(), "OK. Files : 3, Replaced files : 2, Errors : 0\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(InPlaceModeTest, FileErrorsGoToTheErrorStreamWithThePathAsGiven) {
  store.files = {{"./locked", "X"}, {"fine", "X"}};
  store.failSave.insert("./locked");
  command.files = {"../missing", "./locked", "fine"};
  EXPECT_EQ(Run(), kExitFailure);
  EXPECT_EQ(err.str(),
            "File open error: ../missing\tnot found\n"
            "File save error: ./locked\tread-only (no write bit)\n");
  EXPECT_EQ(out.str(), "Finished with errors. Files : 3, Replaced files : 1, Errors : 2\n");
}

TEST_F(InPlaceModeTest, ADiffShowsEachFilesTextAsUtf8) {
  if (!DiffAvailable()) GTEST_SKIP() << "this build has no diff";
  using namespace std::string_literals;
  store.files = {
      {"be", "\xFE\xFF\0X\0\xE9\0\n"s}, {"le", "\xFF\xFEX\0\xE9\0\n\0"s}, {"page", "X\xE9\n"}};
  command.files = {"be", "le", "page"};
  command.options.encoding.legacy = "windows-1252";
  command.diff = true;
  EXPECT_EQ(Run(), kExitOk);
  std::string diffs;
  for (const char* name : {"be", "le", "page"}) {
    diffs += "--- "s + name + "\n+++ " + name + "\n@@ -1 +1 @@\n-X\xC3\xA9\n+\xC3\xA9\n";
  }
  EXPECT_EQ(test::WithoutDiffTimes(out.str()), diffs);
}

TEST_F(InPlaceModeTest, ADryRunListsTheFilesThatWouldChangeAndWritesNothing) {
  store.files = {{"a", "X"}, {"b", "b"}, {"c", "cX"}, {"d", "X"}};
  store.failSave.insert("d");
  command.files = {"a", "b", "c", "d"};
  command.dryRun = true;
  EXPECT_EQ(Run(), kExitFailure);
  EXPECT_TRUE(store.saves.empty());
  EXPECT_THAT(store.checks, ElementsAre("a", "c", "d"));
  EXPECT_EQ(out.str(), "a\nc\nFinished with errors. Files : 4, Would replace : 2, Errors : 1\n");
  EXPECT_EQ(err.str(), "File save error: d\tread-only (no write bit)\n");
}

// What --check, --quiet and --diff make of the same files ("a" would change,
// "b" would not).
TEST_F(InPlaceModeTest, ChecksAndQuietRunsReportAsAskedAndChecksWriteNothing) {
  struct Case {
    std::vector<std::string> files;
    bool check, quiet, diff;
    int status;
    std::string out, err;
    std::vector<std::string> saves;
  };
  const std::string diff = "--- a\n+++ a\n@@ -1 +0,0 @@\n-X\n\\ No newline at end of file\n";
  const Case cases[] = {
      {{"a", "b"},
       true,
       false,
       false,
       kExitFailure,
       "a\n",
       "OK. Files : 2, Would replace : 1, Errors : 0\n",
       {}},
      {{"b"},
       true,
       false,
       false,
       kExitOk,
       "",
       "OK. Files : 1, Would replace : 0, Errors : 0\n",
       {}},
      {{"a", "b"}, true, true, false, kExitFailure, "", "", {}},
      {{"a", "b"},
       true,
       false,
       true,
       kExitFailure,
       diff,
       "OK. Files : 2, Would replace : 1, Errors : 0\n",
       {}},
      {{"a", "b"}, false, true, false, kExitOk, "", "", {"a"}},
      {{"a", "c"}, false, true, false, kExitFailure, "", "File open error: c\tnot found\n", {"a"}},
  };
  for (const Case& c : cases) {
    if (c.diff && !DiffAvailable()) continue;
    store = {};
    store.files = {{"a", "X"}, {"b", "b"}};
    command.files = c.files;
    command.check = c.check;
    command.quiet = c.quiet;
    command.diff = c.diff;
    out.str("");
    err.str("");
    EXPECT_EQ(Run(), c.status) << c.files.size() << c.check << c.quiet << c.diff;
    EXPECT_EQ(test::WithoutDiffTimes(out.str() + "\n"), c.out + "\n");
    EXPECT_EQ(err.str(), c.err);
    EXPECT_EQ(store.saves, c.saves);
  }
}

TEST_F(InPlaceModeTest, AProgressLineIsShownOnlyWhenAskedAndClearedAtTheEnd) {
  store.files = {{"a", "X"}};
  command.files = {"a"};
  Run(false);
  EXPECT_EQ(err.str(), "");
  Run(true);
  EXPECT_THAT(err.str(), ::testing::StartsWith("\r\x1b[K100 % a"));
  EXPECT_THAT(err.str(), ::testing::EndsWith("\r\x1b[K"));
}

// Raises a signal while the given file is loaded, as Ctrl+C or `kill` would.
class InterruptingStore : public test::MemoryFileStore {
 public:
  LoadedFile Load(const std::string& path) override {
    if (path == interruptAt) std::raise(signal);
    return MemoryFileStore::Load(path);
  }
  std::string interruptAt;
  int signal = SIGINT;
};

class InPlaceSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(InPlaceSignalTest, AStopSignalStopsTheRunAfterTheFileInHand) {
  InterruptingStore store;
  store.files = {{"1", "X"}, {"2", "X"}, {"3", "X"}, {"4", "X"}};
  store.interruptAt = "2";
  store.signal = GetParam();
  CliCommand command;
  command.options.removeTextEnabled = true;
  command.options.removeText = "X";
  command.files = {"1", "2", "3", "4"};
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const auto previous = std::signal(GetParam(), SIG_IGN);

  EXPECT_EQ(RunInPlaceMode(command, Stores(store), nullptr, in, out, err, false),
            kExitSignalBase + GetParam());
  // The file in hand is finished; no file is started after the signal.
  EXPECT_THAT(store.saves, ElementsAre("1", "2"));
  EXPECT_EQ(out.str(), "Stopped. Files : 2 of 4, Replaced files : 2, Errors : 0\n");
  EXPECT_EQ(std::signal(GetParam(), previous), SIG_IGN);
}

INSTANTIATE_TEST_SUITE_P(EveryStopSignal, InPlaceSignalTest,
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT));

TEST(InPlaceCliTest, RulesAndListsFromStandardInputDropTheirCRs) {
  test::TempFolder folder;
  const std::string file = folder / "a.htm";
  test::WriteFile(file, "a <i>");
  // The rules of standard input stand where --rules - stands.
  EXPECT_EQ(test::RunTool({"--replace", "a", "b", "--rules", "-", "--replace", "c", "d", file},
                          "replace b c\r\n")
                .status,
            kExitOk);
  EXPECT_EQ(test::ReadFile(file), "d <i>");
  EXPECT_EQ(test::RunTool({"--files-from", "-", "--fonts", "--no-undo"}, file + "\r\n").err, "");
  EXPECT_EQ(test::ReadFile(file), "d ");
}

TEST(InPlaceCliTest, ATreeWithNoFileToCleanGivesAHint) {
  test::TempFolder folder;
  test::WriteFile(folder / "a.css", "x");
  const test::CliResult r = test::RunTool({"-r", "--fonts", folder.path()});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out, "OK. Files : 0, Replaced files : 0, Errors : 0\n");
  EXPECT_THAT(r.err, ::testing::HasSubstr("no file under the folders given matches"));
}

TEST(InPlaceCliTest, RunCliCleansRealFilesInPlace) {
  test::TempFolder folder;
  test::WriteFile(folder / "a.htm", "<p>aXb</p>");
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const int status =
      RunCli({"--remove-text", "x", folder / "a.htm", folder / "none"}, in, out, err);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_EQ(test::ReadFile(folder / "a.htm"), "<p>ab</p>");
  EXPECT_EQ(err.str(), "File open error: " + folder / "none" + "\tnot found\n");
  EXPECT_EQ(out.str(), "Finished with errors. Files : 2, Replaced files : 1, Errors : 1\n");
}

}  // namespace
}  // namespace quillmere

namespace quillmere {
namespace {

// The folder the test works in while it lives, then the one before.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

TEST(DiffTest, TheDiffAppliedWithPatchGivesExactlyWhatARunWrites) {
  if (!DiffAvailable()) GTEST_SKIP() << "this build has no diff";
  const std::vector<std::pair<std::string, std::string>> files{
      {"a.htm", "<p>one  two</p>\n<font size=2>kept</font>\n<!-- gone -->\nlast\n"},
      {"same.txt", "nothing to clean\n"},
      {"no-line-end.htm", "<b>bold</b>   <font>x</font>"},
      // GNU diff's header: a tab ends the name; a tab or line end in it is quoted
      {"dir with space/p q.html", "<font>f</font>\n"},
      {"tab\there.htm", "<b>t</b>\n"},
      {"line\nend.htm", "<b>n</b>\n"},
  };
  test::TempFolder before;
  test::TempFolder patched;
  test::TempFolder run;
  for (const auto& [name, text] : files) {
    for (const auto* folder : {&before, &patched, &run}) {
      std::filesystem::create_directories(std::filesystem::path(*folder / name).parent_path());
      test::WriteFile(*folder / name, text);
    }
  }
  const std::vector<std::string> options{"--notes", "--fonts"};
  std::vector<std::string> args{"--diff"};
  args.insert(args.end(), options.begin(), options.end());
  for (const auto& file : files) args.push_back(file.first);

  std::istringstream in;
  std::ostringstream diff;
  std::ostringstream err;
  {
    const WorkingFolder here(before.path());
    EXPECT_EQ(RunCli(args, in, diff, err), kExitOk);
  }
  for (const auto& [name, text] : files) EXPECT_EQ(test::ReadFile(before / name), text);
  EXPECT_EQ(err.str(), "OK. Files : 6, Would replace : 5, Errors : 0\n");

  const std::string patch = before / "changes.diff";
  test::WriteFile(patch, diff.str());
  {
    const WorkingFolder here(patched.path());
    ASSERT_EQ(std::system(("patch -p0 -s < '" + patch + "'").c_str()), 0) << diff.str();
  }
  std::ostringstream out;
  args.erase(args.begin());
  args.insert(args.begin(), "--no-undo");
  {
    const WorkingFolder here(run.path());
    EXPECT_EQ(RunCli(args, in, out, err), kExitOk);
  }
  for (const auto& [name, text] : files) {
    EXPECT_EQ(test::ReadFile(patched / name), test::ReadFile(run / name)) << name;
  }
}

TEST(DiffTest, WithADryRunTheListAndTheErrorsGoBesideTheSummaryAndTheDiffStaysClean) {
  if (!DiffAvailable()) GTEST_SKIP() << "this build has no diff";
  test::TempFolder folder;
  test::WriteFile(folder / "a.htm", "x<!-- c -->\n");
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  {
    const WorkingFolder here(folder.path());
    EXPECT_EQ(RunCli({"--diff", "--dry-run", "--notes", "a.htm", "gone.htm"}, in, out, err),
              kExitFailure);
  }
  EXPECT_EQ(test::WithoutDiffTimes(out.str()),
            "--- a.htm\n+++ a.htm\n@@ -1 +1 @@\n-x<!-- c -->\n+x\n\\ No newline at end of file\n");
  EXPECT_EQ(err.str(),
            "a.htm\nFile open error: gone.htm\tnot found\n"
            "Finished with errors. Files : 2, Would replace : 1, Errors : 1\n");
  EXPECT_EQ(test::ReadFile(folder / "a.htm"), "x<!-- c -->\n");
}

}  // namespace
}  // namespace quillmere
