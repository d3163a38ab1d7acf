// Undo journals on real files: a run over a mix of files, undone byte for
// byte with modes and times; files changed since are left alone; the bounds;
// the journal kept private; ids whatever the clock does; an undo killed and
// run again; what a journal that cannot be written says.
#include "run_journal.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "batch_job.h"
#include "faulty_file_system.h"
#include "faulty_syscalls.h"
#include "file_store_layer.h"
#include "linux_file_system.h"
#include "linux_test_files.h"
#include "param_name.h"
#include "run_id.h"
#include "safe_file_store.h"
#include "system_files.h"
#include "undo_run.h"

namespace quillmere {
namespace {

using test::PrintTo;
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
  std::string Run(const std::vector<std::string>& paths) { return RunIn(journals, paths); }
  std::string RunIn(RunJournals& into, const std::vector<std::string>& paths) {
    JournaledFileStore journaled(store, into, [&](const std::string& p, const FileError& why) {
      notKept.push_back(p + ": " + ReasonText(why));
    });
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
  std::vector<JournalEntry> EntriesOf(const std::string& run) {
    Result<std::unique_ptr<RunFolder>> opened = journals.OpenRun(run);
    if (!opened.has_value()) return {};
    Result<std::vector<JournalEntry>> entries = (*opened)->Entries();
    return entries.has_value() ? *entries : std::vector<JournalEntry>{};
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
  EXPECT_EQ(EntriesOf(run).size(), 4u);  // the files the run changed

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
  const std::string big = Written("big.htm", std::string(100, 'X'));
  RunIn(small, {big});
  EXPECT_EQ(ReadFile(big), "");
  EXPECT_THAT(notKept, ElementsAre(big + ": " + ReasonText(JournalFull())));
  EXPECT_LE(small.List().size(), 1u);  // every older run gave way first

  // Within one run too: the copies that fit are kept, the next is not.
  notKept.clear();
  test::TempFolder own;
  RunJournals tight(own.path(), 2500);
  std::vector<std::string> three;
  for (const char* name : {"a.htm", "b.htm", "c.htm"})
    three.push_back(Written(name, name + std::string(995, 'X')));
  RunIn(tight, three);
  EXPECT_THAT(notKept, ElementsAre(three[2] + ": " + ReasonText(JournalFull())));
  std::uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(own.path())) {
    if (entry.path().extension() == ".old") bytes += entry.file_size();
  }
  EXPECT_EQ(bytes, 2000u);
}

// A store that dies in a save, before or after the file is replaced, as a
// killed run would.
class DyingStore final : public FileStoreLayer {
 public:
  DyingStore(FileStore& store, bool savesFirst) : FileStoreLayer(store), savesFirst_(savesFirst) {}
  std::optional<FileError> Save(const std::string& path, const std::string& text) override {
    if (savesFirst_) (void)inner().Save(path, text);  // the file is checked after the run
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
      EXPECT_THROW((void)journaled.Save(path, "ab"), std::runtime_error);
      run = journaled.run().value_or("");
    }
    EXPECT_EQ(ReadFile(path), savedBeforeDying ? "ab" : "aXb");
    const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
    ASSERT_EQ(undone.size(), 1u) << savedBeforeDying;
    EXPECT_EQ(undone[0].error, std::nullopt) << savedBeforeDying;
    EXPECT_EQ(ReadFile(path), "aXb") << savedBeforeDying;
  }
}

TEST_F(RunJournalTest, TheJournalIsForTheUserAloneWhateverTheUmask) {
  const mode_t umask = ::umask(022);
  const std::string runsPath = state / "quillmere/runs";
  // As an earlier version left it: open to others, with a run inside.
  ASSERT_EQ(::mkdir((state / "quillmere").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir(runsPath.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(runsPath.c_str(), 0755), 0);
  RunJournals fresh(runsPath, 1 << 22);
  RunIn(fresh, {Written("private.htm", "secret X", 0600),
                Written("large.htm", std::string(1 << 20, 's') + "X", 0600)});
  ::umask(umask);
  int seen = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(state / "quillmere")) {
    ++seen;
    EXPECT_EQ(StatOf(entry.path().string()).st_mode & 077, 0u) << entry.path();
  }
  EXPECT_GE(seen, 5);  // runs, the run, its journal, its small and large old contents
}

struct RunIdCase {
  const char* name;
  const char* now;
  const char* newest;
  std::optional<std::string> next;
};

class RunIdTest : public ::testing::TestWithParam<RunIdCase> {};

TEST_P(RunIdTest, ARunsIdSortsAfterEveryEarlierRunWhateverTheClockDid) {
  const RunIdCase& c = GetParam();
  const std::optional<std::string> next = NextRunId(c.now, c.newest);
  EXPECT_EQ(next, c.next);
  if (next && *c.newest != '\0') {
    EXPECT_TRUE(IsRunId(*next));
    EXPECT_TRUE(RunBefore(c.newest, *next));
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryClock, RunIdTest,
    ::testing::Values(
        RunIdCase{"TheFirst", "20261207-100000", "", "20261207-100000"},
        RunIdCase{"Later", "20261207-100001", "20261207-100000", "20261207-100001"},
        RunIdCase{"InTheSameSecond", "20261207-100000", "20261207-100000", "20261207-100000-2"},
        RunIdCase{"AfterTheClockWentBack", "20261207-090000", "20261207-100000-9",
                  "20261207-100000-10"},
        RunIdCase{"AfterAnEarlierVersionsSecondRun", "20261207-090000", "20261207-100000-01",
                  "20261207-100000-2"},
        RunIdCase{"NoneLeft", "20261207-090000", "20261207-100000-1000000", std::nullopt}),
    test::ByName());

TEST_F(RunJournalTest, ARunAfterTheClockWentBackIsMadeAtOnceAndSortsLast) {
  // A run "from the future", as after a time zone further east.
  const std::string future = "29991231-235959";
  ASSERT_EQ(::mkdir((runs / future).c_str(), 0700), 0);
  WriteFile(runs / (future + "/journal"), "quillmere undo journal 1\tstarted=1\n");
  const std::string first = Run({Written("a.htm", "aX")});
  const std::string second = Run({Written("b.htm", "bX")});
  EXPECT_EQ(first, future + "-2");
  EXPECT_EQ(second, future + "-3");
  EXPECT_EQ(journals.List().front().id, second);
}

using Op = test::FaultyFileSystem::Op;

struct KilledUndoCase {
  const char* name;
  bool hardLinked;  // rewritten in place, not by rename
  Op killedBefore;  // the undo's store dies just before the nth use of this
  int nth;
};

class KilledUndoTest : public RunJournalTest,
                       public ::testing::WithParamInterface<KilledUndoCase> {};

TEST_P(KilledUndoTest, AnUndoKilledAnywhereAndRunAgainEndsWithTheOldContent) {
  const std::string path = Written("page.htm", std::string(9000, 'o') + "X", 0604);
  const struct stat before = StatOf(path);
  if (GetParam().hardLinked) test::MakeHardLink(path, folder / "other.htm");
  const std::string run = Run({path});
  {
    auto* faults = new test::FaultyFileSystem(MakeSystemFileSystem(state.path()));
    SafeFileStore dying{std::unique_ptr<FileSystem>(faults)};
    faults->Before(GetParam().killedBefore, GetParam().nth, [] { throw test::SimulatedCrash{}; });
    EXPECT_THROW(UndoRun(dying, journals, run), test::SimulatedCrash);
  }
  const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
  ASSERT_EQ(undone.size(), 1u);
  EXPECT_EQ(undone[0].error, std::nullopt) << undone[0].reason;
  EXPECT_TRUE(ReadFile(path) == std::string(9000, 'o') + "X");
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0604u);
  EXPECT_EQ(StatOf(path).st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_TRUE(journals.List().front().undone);
  EXPECT_THAT(state.Names(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryMoment, KilledUndoTest,
    // The undo of a file loads it, stamps it, saves it and gives back its
    // mode and times: each looks its path up once.
    ::testing::Values(KilledUndoCase{"ByRenameBeforeTheRename", false, Op::kRenameTo, 1},
                      KilledUndoCase{"ByRenameAfterTheSave", false, Op::kLocate, 4},
                      KilledUndoCase{"InPlaceMidRewrite", true, Op::kTruncate, 1},
                      KilledUndoCase{"InPlaceAfterTheSave", true, Op::kLocate, 4}),
    test::ByName());

struct AfterRunCase {
  const char* name;
  // What happens to the run's file `path` (in `folder`) before the undo.
  std::function<void(const test::TempFolder& folder, const std::string& path)> meanwhile;
  std::optional<std::string> leftAloneFor;  // the reason, when it is left alone
  mode_t modeAfter;                         // with the old content back
};

class UndoAfterTheRunTest : public RunJournalTest,
                            public ::testing::WithParamInterface<AfterRunCase> {};

TEST_P(UndoAfterTheRunTest, KeepsWhatWasDoneSinceAndNeverWritesThroughANewLink) {
  const std::string path = Written("a.html", "aXb", 0644);
  const std::string run = Run({path});
  GetParam().meanwhile(folder, path);
  const std::vector<UndoneFile> undone = UndoRun(store, journals, run);
  ASSERT_EQ(undone.size(), 1u);
  if (GetParam().leftAloneFor) {
    EXPECT_EQ(undone[0].reason, *GetParam().leftAloneFor);
    EXPECT_EQ(ReadFile(folder / "b.html"), "ab");
    return;
  }
  EXPECT_EQ(undone[0].error, std::nullopt);
  EXPECT_EQ(ReadFile(path), "aXb");
  EXPECT_EQ(StatOf(path).st_mode & 07777, GetParam().modeAfter);
}

INSTANTIATE_TEST_SUITE_P(
    EveryChange, UndoAfterTheRunTest,
    ::testing::Values(
        AfterRunCase{"Nothing", [](const auto&, const auto&) {}, std::nullopt, 0644},
        AfterRunCase{"ALaterChmod",
                     [](const auto&, const auto& path) { ::chmod(path.c_str(), 0600); },
                     std::nullopt, 0600},
        AfterRunCase{"ReplacedByALinkToACopy",
                     [](const auto& folder, const auto& path) {
                       WriteFile(folder / "b.html", ReadFile(path));
                       test::RemoveFile(path);
                       ASSERT_EQ(::symlink("b.html", path.c_str()), 0);
                     },
                     "changed by another program since it was read (replaced since the run)", 0}),
    test::ByName());

// A store that cannot give a file its mode and times.
class NoRestampStore final : public FileStoreLayer {
 public:
  using FileStoreLayer::FileStoreLayer;
  std::optional<FileError> Restamp(const std::string&, const FileStamp&) override {
    return FileError{FileProblem::kNoPermission, ""};
  }
};

TEST_F(RunJournalTest, AnUndoThatCannotPutBackModeAndTimesSaysSo) {
  const std::string path = Written("a.html", "aXb");
  const std::string run = Run({path});
  NoRestampStore noRestamp(store);
  const std::vector<UndoneFile> undone = UndoRun(noRestamp, journals, run);
  ASSERT_EQ(undone.size(), 1u);
  EXPECT_EQ(undone[0].reason,
            "no permission (its old content is back, but not its mode and times)");
  EXPECT_EQ(ReadFile(path), "aXb");
}

TEST_F(RunJournalTest, ALaterTouchIsKept) {
  const std::string path = Written("a.html", "aXb");
  const std::string run = Run({path});
  const timespec touched[2] = {{1200000000, 0}, {1300000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), touched, 0), 0);
  ASSERT_EQ(UndoRun(store, journals, run).size(), 1u);
  EXPECT_EQ(ReadFile(path), "aXb");
  EXPECT_EQ(StatOf(path).st_mtim.tv_sec, 1300000000);
}

TEST_F(RunJournalTest, AJournalThatCannotBeWrittenSaysWhyAndTheFileIsCleanedAllTheSame) {
  WriteFile(state / "in-the-way", "a file where the runs' folder would be");
  const std::pair<std::string, FileProblem> cases[] = {
      {state / "in-the-way", FileProblem::kNotFound},
      {runs.path(), FileProblem::kUnsafeStateFolder},  // another user's
  };
  ASSERT_EQ(::chown(runs.path().c_str(), 12345, 12345), 0);
  for (const auto& [where, problem] : cases) {
    notKept.clear();
    RunJournals broken(where, 1 << 22);
    const std::string path = Written("doc.htm", "aXb");
    RunIn(broken, {path});
    EXPECT_EQ(ReadFile(path), "ab");
    ASSERT_EQ(notKept.size(), 1u);
    EXPECT_THAT(notKept[0], ::testing::StartsWith(path + ": " + ReasonText(FileError{problem})));
  }
}

// The journal is flushed on a thread of its own while the batch's new
// contents are; no file of the batch may be replaced before it is done,
// however slow its flush.
TEST(JournaledBatchTest, NoFileOfABatchIsReplacedBeforeItsJournalIsDurable) {
  test::TempFolder folder;
  test::TempFolder runs;
  test::FaultySyscalls journalSys;
  test::FaultySyscalls fileSys;
  std::atomic<int> journalSyncs{0};
  journalSys.afterSync = [&](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ++journalSyncs;
  };
  std::vector<int> syncsAtRename;
  fileSys.beforeRename = [&] { syncsAtRename.push_back(journalSyncs.load()); };
  SafeFileStore files{std::make_unique<LinuxFileSystem>(fileSys, "")};
  RunJournals journals{std::make_unique<LinuxFileSystem>(journalSys, ""), runs.path(), 1 << 22};
  JournaledFileStore journaled(files, journals, nullptr);
  for (const char* name : {"a", "b"}) {
    WriteFile(folder / name, "aXb");
    ASSERT_TRUE(journaled.Load(folder / name).ok());
    journaled.SaveInBatch(folder / name, "ab",
                          [](std::optional<FileError> error) { EXPECT_EQ(error, std::nullopt); });
  }
  const int before = journalSyncs;
  journaled.Commit();
  EXPECT_GT(journalSyncs, before);
  EXPECT_THAT(syncsAtRename, ElementsAre(journalSyncs.load(), journalSyncs.load()));
  EXPECT_EQ(ReadFile(folder / "b"), "ab");
}

// Workers share the journal's flushes: a worker whose entry came after a
// flush began still gets a flush of its own before its sync returns, asked
// for while that flush goes on or after it ended.
TEST(JournaledBatchTest, AnEntryWrittenDuringAnotherWorkersFlushIsFlushedBeforeItsSyncReturns) {
  for (const bool afterItEnded : {false, true}) {
    test::TempFolder runs;
    test::FaultySyscalls journalSys;
    RunJournals journals{std::make_unique<LinuxFileSystem>(journalSys, ""), runs.path(), 1 << 22};
    RunJournal journal(journals);
    JournalEntry entry;
    entry.path = "/first";
    entry.number = *journal.NewEntry();
    ASSERT_EQ(journal.Record(entry), std::nullopt);

    std::promise<void> flushing;
    std::promise<void> written;
    std::shared_future<void> writtenDone = written.get_future().share();
    std::atomic<bool> first{true};
    std::atomic<int> syncsAfterWrite{0};  // of the journal's files, not its folder
    std::atomic<bool> wrote{false};
    journalSys.afterSync = [&](int fd) {
      struct stat status {};
      const bool file = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
      if (first.exchange(false)) {
        flushing.set_value();
        // The other worker writes (and may ask for its sync) meanwhile.
        writtenDone.wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      } else if (wrote && file) {
        ++syncsAfterWrite;
      }
    };
    std::thread other([&] { EXPECT_EQ(journal.Sync(), std::nullopt); });
    flushing.get_future().wait();
    entry.path = "/second";
    entry.number = *journal.NewEntry();
    ASSERT_EQ(journal.Record(entry), std::nullopt);
    wrote = true;
    written.set_value();
    if (afterItEnded) other.join();
    EXPECT_EQ(journal.Sync(), std::nullopt);
    EXPECT_GT(syncsAfterWrite, 0) << (afterItEnded ? "after" : "during") << " the other flush";
    if (!afterItEnded) other.join();
  }
}

}  // namespace
}  // namespace quillmere
