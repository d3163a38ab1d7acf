// The batch job and what it tells its observer.
#include "batch_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "memory_file_store.h"
#include "run_summary.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

// Records every call as a line; stops when told to before the given file.
class RecordingObserver : public BatchObserver {
 public:
  bool StopRequested() override {
    log.push_back("stop?");
    return stopBefore == started;
  }
  void FileStarted(int index, const std::string& path, int percent) override {
    ++started;
    log.push_back("start " + std::to_string(index) + " " + path + " " + std::to_string(percent));
  }
  void DrainEvents() override { log.push_back("drain"); }
  void FileRestored(const std::string& path) override { log.push_back("restored " + path); }
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override {
    log.push_back(std::string(stage == FileStage::kOpen ? "open " : "save ") + path + ": " +
                  ReasonText(error));
  }
  void RunEnded(const RunCounters& counters, bool stopped) override {
    log.push_back(std::string(stopped ? "stopped " : "ended ") +
                  RunSummary(counters.fileCount, counters.replacedCount, counters.errorCount,
                             counters.restoredCount));
  }

  std::vector<std::string> log;
  int started = 0;
  int stopBefore = -1;  // the number of files started when a stop is asked for
};

class BatchJobTest : public ::testing::Test {
 protected:
  BatchJobTest() {
    options.removeTextEnabled = true;
    options.removeText = "X";
  }

  RecordingObserver observer;
  test::MemoryFileStore store;
  CleaningOptions options;
  BatchJob job{store, observer};
};

TEST_F(BatchJobTest, TellsEachFileBeforeItIsLoadedAndEndsWithTheCounts) {
  store.files = {{"a", "aX"}, {"b", "b"}};
  const RunCounters counters = job.Run({"a", "b"}, options);
  EXPECT_THAT(observer.log,
              ElementsAre("stop?", "start 0 a 50", "drain", "stop?", "start 1 b 100", "drain",
                          "ended OK. Files : 2, Replaced files : 1, Errors : 0"));
  EXPECT_EQ(counters, (RunCounters{2, 1, 0, 0}));
  EXPECT_THAT(store.saves, ElementsAre("a"));
  EXPECT_EQ(store.files["a"], "a");
  EXPECT_EQ(store.flushes, 1);
}

TEST_F(BatchJobTest, AStopAskedForEndsTheRunBeforeTheNextFile) {
  store.files = {{"a", "X"}, {"b", "X"}, {"c", "X"}};
  observer.stopBefore = 2;
  const RunCounters counters = job.Run({"a", "b", "c"}, options);
  EXPECT_THAT(store.loads, ElementsAre("a", "b"));
  EXPECT_EQ(observer.log.back(), "stopped OK. Files : 3, Replaced files : 2, Errors : 0");
  EXPECT_EQ(counters.fileCount, 3);
}

TEST_F(BatchJobTest, FailuresComeWithTheirStageAndReasonAndTheRunGoesOn) {
  store.files = {{"ro", "X"}, {"big", "X"}, {"fine", "X"}};
  store.failSave.insert("ro");
  store.throwOnLoad.insert("big");
  const RunCounters counters = job.Run({"gone", "ro", "big", "fine"}, options);
  EXPECT_THAT(observer.log,
              ::testing::IsSupersetOf({"open gone: not found", "save ro: read-only (no write bit)",
                                       "open big: out of memory"}));
  EXPECT_EQ(counters, (RunCounters{4, 1, 3, 0}));
}

TEST_F(BatchJobTest, OneFileUnderTwoNamesIsCleanedOnce) {
  store.files = {{"a", "XX"}};
  store.aliases["./a"] = "a";
  const RunCounters counters = job.Run({"a", "./a"}, options);
  EXPECT_THAT(store.saves, ElementsAre("a"));
  EXPECT_EQ(counters, (RunCounters{2, 1, 0, 0}));
}

// Another program's saves give numbers free again to new files: a file that
// gets the number of one cleaned earlier is still another file.
TEST_F(BatchJobTest, ANumberGivenAgainDuringTheRunMakesNoFileSeemCleanedAlready) {
  store.files = {{"a", "XX"}, {"b", "XX"}};
  const FileKey first = *store.KeyOf("a");
  store.newKeyOnSave = true;
  store.afterSave = [&](const std::string& file) {
    if (file == "a") store.keys["b"] = first;
  };
  const RunCounters counters = job.Run({"a", "b"}, options);
  EXPECT_THAT(store.saves, ElementsAre("a", "b"));
  EXPECT_EQ(counters.replacedCount, 2);
}

TEST_F(BatchJobTest, ARestoredFileIsToldAndCounted) {
  store.files = {{"a", "X"}};
  store.restoreOnLoad.insert("a");
  const RunCounters counters = job.Run({"a"}, options);
  EXPECT_THAT(observer.log, ::testing::Contains("restored a"));
  EXPECT_EQ(observer.log.back(),
            "ended OK. Files : 1, Replaced files : 1, Errors : 0\n"
            "Restored after an interrupted run : 1");
  EXPECT_EQ(counters.restoredCount, 1);
}

}  // namespace
}  // namespace quillmere
