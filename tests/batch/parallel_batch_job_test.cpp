// Several workers at once: the files, the observer's calls and the counters
// of a serial run, and a stop that lets each worker finish its file.
#include "parallel_batch_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "locked_file_store.h"
#include "memory_file_store.h"
#include "run_summary.h"

namespace quillmere {
namespace {

// Records what a run tells, but not how often it asks whether to stop.
class Recorder : public BatchObserver {
 public:
  bool StopRequested() override { return stopAfter >= 0 && finished > stopAfter; }
  void FileStarted(int index, const std::string& path, int percent) override {
    log.push_back("start " + std::to_string(index) + " " + path + " " + std::to_string(percent));
  }
  void DrainEvents() override {}
  void FileRestored(const std::string& path) override { log.push_back("restored " + path); }
  void FileFailed(FileStage stage, const std::string& path, const FileError& error) override {
    log.push_back((stage == FileStage::kOpen ? "open " : "save ") + path + ": " +
                  ReasonText(error));
  }
  void FileFinished(int, const std::string& path, const FileOutcome& outcome) override {
    ++finished;
    log.push_back("done " + path + " " + std::to_string(static_cast<int>(outcome.result)) + " " +
                  std::to_string(outcome.bytesBefore) + ">" + std::to_string(outcome.bytesAfter));
  }
  void RunEnded(const RunCounters& counters, bool stopped) override {
    log.push_back((stopped ? "stopped " : "ended ") +
                  RunSummary(counters.fileCount, counters.replacedCount, counters.errorCount,
                             counters.restoredCount));
  }

  std::vector<std::string> log;
  int finished = 0;
  int stopAfter = -1;  // asks to stop once more files than this are reported
};

class ParallelBatchJobTest : public ::testing::Test {
 protected:
  ParallelBatchJobTest() {
    options.searchEnabled = true;
    options.rules = {{TextRule::Kind::kReplace, "a", "aa"}};  // cleaning twice would show
    Fill();
  }

  void Fill() {
    files = test::MemoryFileStore();
    items.clear();
    for (int i = 0; i < 30; ++i) {
      const std::string name = "f" + std::to_string(i);
      files.files[name] = i % 3 == 0 ? "plain" : "a" + name;
      items.push_back({name, std::nullopt});
    }
    files.failSave.insert("f4");
    files.restoreOnLoad.insert("f5");
    files.aliases["./f7"] = "f7";    // after f7: unchanged
    files.aliases["./f20"] = "f20";  // before f20: cleans it, f20 unchanged
    items.insert(items.begin() + 9, {"./f7", std::nullopt});
    items.insert(items.begin() + 12, {"./f20", std::nullopt});
    items.push_back({"missing", std::nullopt});
    items.push_back({"unlisted folder", FileError{FileProblem::kNoPermission, ""}});
  }

  RunCounters Run(int workers, Recorder& recorder) {
    const WorkerStoreMaker stores = [this](FileNotes&) {
      return std::make_unique<test::LockedFileStore>(files, mutex);
    };
    return ParallelBatchJob(stores, recorder, workers).Run(items, options);
  }

  test::MemoryFileStore files;
  std::mutex mutex;
  std::vector<RunItem> items;
  CleaningOptions options;
};

TEST_F(ParallelBatchJobTest, WorkersGiveTheFilesCallsAndCountersOfASerialRun) {
  Recorder serial;
  const RunCounters serialCounters = Run(1, serial);
  const auto serialFiles = files.files;
  Fill();
  Recorder parallel;
  const RunCounters parallelCounters = Run(4, parallel);
  EXPECT_EQ(parallelCounters, serialCounters);
  EXPECT_EQ(parallel.log, serial.log);
  EXPECT_EQ(files.files, serialFiles);
  EXPECT_EQ(files.files.at("f20"), "aaf20");  // cleaned once, by its first name
  EXPECT_THAT(parallel.log, ::testing::Contains(::testing::StartsWith("done ./f20 1 ")));
}

TEST_F(ParallelBatchJobTest, AStopLetsEachWorkerFinishItsFileAndReportsThemAll) {
  Recorder recorder;
  recorder.stopAfter = 0;
  const RunCounters counters = Run(3, recorder);
  EXPECT_EQ(counters.fileCount, static_cast<int>(items.size()));
  EXPECT_EQ(recorder.log.back().rfind("stopped ", 0), 0u);
  ASSERT_GE(recorder.finished, 1);
  ASSERT_LT(recorder.finished, static_cast<int>(items.size()));
  // Every file loaded was finished and reported, and they are the first ones.
  std::vector<std::string> reported;
  for (int i = 0; i < recorder.finished; ++i) reported.push_back(items[i].path);
  std::sort(reported.begin(), reported.end());
  std::vector<std::string> loaded = files.loads;
  std::sort(loaded.begin(), loaded.end());
  EXPECT_EQ(loaded, reported);
}

// Each file under two names, saved by rename (a new number each time) while
// the other worker reaches its second name: each is cleaned exactly once,
// by its first name.
TEST_F(ParallelBatchJobTest, AFileUnderTwoNamesIsCleanedOnceWhateverItsSaveRenumbers) {
  files = test::MemoryFileStore();
  files.newKeyOnSave = true;
  items.clear();
  for (int i = 0; i < 500; ++i) {
    const std::string name = "g" + std::to_string(i);
    files.files[name] = "a";
    files.aliases["./" + name] = name;
    items.push_back({name, std::nullopt});
    items.push_back({"./" + name, std::nullopt});
  }
  Recorder recorder;
  const RunCounters counters = Run(2, recorder);
  EXPECT_EQ(counters.replacedCount, 500);
  EXPECT_EQ(files.saves.size(), 500u);
  for (const auto& [name, text] : files.files) EXPECT_EQ(text, "aa") << name;
}

}  // namespace
}  // namespace quillmere
