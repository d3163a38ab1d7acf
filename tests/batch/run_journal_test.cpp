// Undo journals on real files: a run over a mix of files, undone byte for
// byte with modes and times; files changed since are left alone; the bounds.
#include "run_journal.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "batch_job.h"
#include "file_store_layer.h"
#include "posix_test_files.h"
#include "safe_file_store.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::StatOf;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class QuietObserver : public BatchObserver {
 public:
  bool StopRequested() override { return false; }
  void FileStarted(int, const std::string&, int) override {}
  void DrainEvents() override {}
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage, const std::string&, const FileError&) override {}
  void RunEnded(const RunCounters&, bool) override {}
};

class RunJournalTest : public ::testing::Test {
 protected:
  // Runs the job over `paths`, removing every "X", with a journal.
  std::string Run(const std::vector<std::string>& paths) {
    JournaledFileStore journaled(store, journals,
                                 [&](const std::string& p) { notKept.push_back(p); });
    QuietObserver observer;
    BatchJob job(journaled, observer);
    CleaningOptions options;
    options.removeTextEnabled = true;
    options.removeText = "X";
    job.Run(paths, options);
    return journaled.run().value_or("");
  }
  std::string Written(const std::string& name, const std::string& content, mode_t mode = 0640) {
    const std::string path = folder / name;
    WriteFile(path, content);
    ::chmod(path.c_str(), mode);
    const timespec old[2] = {{1000000000, 5}, {1100000000, 7}};
    ::utimensat(AT_FDCWD, path.c_str(), old, 0);
    return path;
  }

  test::TempFolder folder;
  test::TempFolder state;
  test::TempFolder runs;
  SafeFileStore store{MakeSystemFileSystem(state.path())};
  RunJournals journals{runs.path(), 1 << 22};
  std::vector<std::string> notKept;
};

TEST_F(RunJournalTest, UndoPutsBackContentModeAndTimesOfEveryChangedFileOnce) {
  // A name with a tab, a line end and '%' must survive the journal's line.
  const std::string changed = Written("changed\t%41\n.htm", "aXb", 0604);
  const std::string same = Written("same.htm", "plain");
  const std::string linked = Written("linked.htm", "hard X");
  test::MakeHardLink(linked, folder / "second-name.htm");
  const std::string target = Written("target.htm", "via X link");
  ASSERT_EQ(::symlink("target.htm", (folder / "link.htm").c_str()), 0);
  const std::string readOnly = Written("ro.htm", "cannot X", 0444);
  // Small old contents share one file of the run; a large one has its own.
  const std::string largeText = std::string(1 << 20, 'a') + "X";
  const std::string large = Written("large.htm", largeText);
  const struct stat before = StatOf(changed);

  const std::string run =
      Run({changed, same, linked, folder / "link.htm", readOnly, folder / "missing.htm", large});
  ASSERT_FALSE(run.empty());
  EXPECT_EQ(ReadFile(changed), "ab");
  EXPECT_EQ(journals.Entries(run).size(), 4u);  // the files the run changed

  const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
  ASSERT_EQ(undone.size(), 4u);
  for (const UndoneFile& file : undone) EXPECT_EQ(file.error, std::nullopt) << file.path;
  const struct stat after = StatOf(changed);  // before reading it changes its time of access
  EXPECT_EQ(ReadFile(changed), "aXb");
  EXPECT_EQ(ReadFile(folder / "second-name.htm"), "hard X");
  EXPECT_EQ(ReadFile(target), "via X link");
  EXPECT_EQ(ReadFile(large), largeText);
  EXPECT_TRUE(S_ISLNK(test::LstatOf(folder / "link.htm").st_mode));
  EXPECT_EQ(after.st_mode & 07777, 0604u);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
  EXPECT_TRUE(journals.List().front().undone);

  EXPECT_THAT(UndoRun(store, journals, run), IsEmpty());  // the second time does nothing
  EXPECT_EQ(ReadFile(changed), "aXb");
}

TEST_F(RunJournalTest, AFileChangedSinceTheRunIsLeftAloneWithItsReason) {
  const std::string edited = Written("edited.htm", "aXb");
  const std::string kept = Written("kept.htm", "cXd");
  const std::string run = Run({edited, kept});
  WriteFile(edited, "edited since");
  const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
  ASSERT_EQ(undone.size(), 2u);
  EXPECT_EQ(undone[0].path, kept);  // newest change first
  EXPECT_EQ(undone[0].error, std::nullopt);
  EXPECT_EQ(undone[1].path, edited);
  EXPECT_EQ(undone[1].reason, "changed by another program since it was read (since the run)");
  EXPECT_EQ(ReadFile(edited), "edited since");
  EXPECT_EQ(ReadFile(kept), "cXd");
}

TEST_F(RunJournalTest, TheOldestRunsGiveWayAndAFileThatCannotFitIsCleanedAllTheSame) {
  const std::string path = Written("doc.htm", "X");
  std::vector<std::string> ids;
  for (int i = 0; i < RunJournals::kRunsKept + 2; ++i) {
    WriteFile(path, "X" + std::to_string(i));
    ids.push_back(Run({path}));
  }
  const std::vector<RunRecord> listed = journals.List();
  ASSERT_EQ(listed.size(), static_cast<std::size_t>(RunJournals::kRunsKept));
  EXPECT_EQ(listed.front().id, ids.back());
  EXPECT_EQ(listed.back().id, ids[2]);

  RunJournals small(runs.path(), 64);
  JournaledFileStore journaled(store, small, [&](const std::string& p) { notKept.push_back(p); });
  const std::string big = Written("big.htm", std::string(100, 'X'));
  EXPECT_EQ(journaled.Save(big, "cleaned"), std::nullopt);
  EXPECT_EQ(ReadFile(big), "cleaned");
  EXPECT_THAT(notKept, ElementsAre(big));
  EXPECT_LE(small.List().size(), 1u);  // every older run gave way first
}

// A store that dies in a save, before or after the file is replaced, as a
// killed run would.
class DyingStore final : public FileStoreLayer {
 public:
  DyingStore(FileStore& store, bool savesFirst) : FileStoreLayer(store), savesFirst_(savesFirst) {}
  std::optional<FileError> Save(const std::string& path, const std::string& text) override {
    if (savesFirst_) inner().Save(path, text);
    throw std::runtime_error("killed");
  }

 private:
  bool savesFirst_;
};

TEST_F(RunJournalTest, ARunKilledInASaveCanStillBeUndone) {
  for (const bool savedBeforeDying : {true, false}) {
    const std::string path = Written("killed.htm", "aXb");
    std::string run;
    {
      DyingStore dying(store, savedBeforeDying);
      JournaledFileStore journaled(dying, journals, nullptr);
      ASSERT_TRUE(journaled.Load(path).ok());
      EXPECT_THROW(journaled.Save(path, "ab"), std::runtime_error);
      run = journaled.run().value_or("");
    }
    EXPECT_EQ(ReadFile(path), savedBeforeDying ? "ab" : "aXb");
    const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
    ASSERT_EQ(undone.size(), 1u) << savedBeforeDying;
    EXPECT_EQ(undone[0].error, std::nullopt) << savedBeforeDying;
    EXPECT_EQ(ReadFile(path), "aXb") << savedBeforeDying;
  }
}

}  // namespace
}  // namespace quillmere
