// A run by two workers whose saves go in batches, killed with SIGKILL at
// random moments: every file is wholly old or wholly new, every file the
// run reported saved is new, and the run after the kill finishes the rest
// with nothing left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "linux_test_files.h"
#include "parallel_batch_job.h"
#include "safe_file_store.h"
#include "system_files.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr int kKills = 30;
constexpr int kFolders = 3;
constexpr int kFilesPerFolder = 100;

// Writes the path of each file reported saved to `fd` at once, so that a
// kill right after the report keeps it.
class SavedFilesLog final : public BatchObserver {
 public:
  explicit SavedFilesLog(int fd) : fd_(fd) {}  // no log with -1
  bool StopRequested() override { return false; }
  void FileStarted(int, const std::string&, int) override {}
  void DrainEvents() override {}
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage, const std::string&, const FileError&) override {}
  void FileFinished(int, const std::string& path, const FileOutcome& outcome) override {
    if (fd_ < 0 || outcome.result != FileOutcome::Result::kChanged) return;
    const std::string line = path + "\n";
    if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) ::_exit(3);
  }
  void RunEnded(const RunCounters&, bool) override {}

 private:
  int fd_;
};

struct Tree {
  std::vector<RunItem> items;
  std::vector<std::string> old;  // each file's content before the run
};

// Files of different sizes in a few folders, each with text to remove.
Tree MakeTree(const test::TempFolder& root) {
  Tree tree;
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = root / ("d" + std::to_string(f));
    test::MakeFolder(folder);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      std::string text;
      for (int line = 0; line < 20 + (i * 37) % 400; ++line) {
        text += "<p>alpha " + std::to_string(f) + "-" + std::to_string(i) + "</p>\n";
      }
      const std::string path = folder + "/p" + std::to_string(i) + ".htm";
      WriteFile(path, text);
      tree.items.push_back({path, std::nullopt});
      tree.old.push_back(std::move(text));
    }
  }
  return tree;
}

std::string Cleaned(const std::string& text) {
  std::string out;
  for (std::size_t at = 0;;) {
    const std::size_t found = text.find("alpha ", at);
    out.append(text, at, found - at);
    if (found == std::string::npos) return out;
    at = found + 6;
  }
}

void RunOnce(const Tree& tree, const std::string& state, int logFd) {
  CleaningOptions options;
  options.removeTextEnabled = true;
  options.removeText = "alpha ";
  SavedFilesLog log(logFd);
  const WorkerStoreMaker stores = [&state](FileNotes&) -> std::unique_ptr<FileStore> {
    return std::make_unique<SafeFileStore>(MakeSystemFileSystem(state));
  };
  ParallelBatchJob(stores, log, 2).Run(tree.items, options);
}

pid_t StartRun(const Tree& tree, const std::string& state, const std::string& logPath) {
  // Emptied before the run starts: a run killed at once reports nothing.
  WriteFile(logPath, "");
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(logPath.c_str(), O_WRONLY | O_APPEND);
    RunOnce(tree, state, fd);
    ::_exit(0);
  }
  return child;
}

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

TEST(BatchedRunKillTest, EveryFileIsOldOrNewAndEveryReportedSaveIsNew) {
  std::random_device seeds;
  const unsigned seed = seeds();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  test::TempFolder root;
  test::TempFolder state;
  test::TempFolder logs;
  const std::string logPath = logs / "saved";

  // How long one whole run takes, to kill within it.
  Tree tree = MakeTree(root);
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  ::waitpid(StartRun(tree, state.path(), logPath), &status, 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(Lines(ReadFile(logPath)).size(), tree.items.size());

  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    for (std::size_t i = 0; i < tree.items.size(); ++i) WriteFile(tree.items[i].path, tree.old[i]);
    const pid_t child = StartRun(tree, state.path(), logPath);
    std::this_thread::sleep_for(std::uniform_real_distribution<double>(0.0, 1.1)(random) * whole);
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);

    const std::set<std::string> reported = Lines(ReadFile(logPath));
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
      const std::string& path = tree.items[i].path;
      const std::string content = ReadFile(path);
      const std::string cleaned = Cleaned(tree.old[i]);
      EXPECT_TRUE(content == tree.old[i] || content == cleaned) << path;
      if (reported.contains(path)) {
        EXPECT_EQ(content, cleaned) << path << " reported saved";
      }
    }
    RunOnce(tree, state.path(), -1);
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
      EXPECT_EQ(ReadFile(tree.items[i].path), Cleaned(tree.old[i])) << tree.items[i].path;
    }
    // The run after the kill took away what the killed one left beside the
    // files: its new contents not yet renamed.
    for (int f = 0; f < kFolders; ++f) {
      const auto entries = std::filesystem::directory_iterator(root / ("d" + std::to_string(f)));
      EXPECT_EQ(std::distance(begin(entries), end(entries)), kFilesPerFolder);
    }
    EXPECT_TRUE(state.Names().empty());
  }
}

}  // namespace
}  // namespace quillmere
