#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "batch_run.h"
#include "fake_platform.h"
#include "memory_file_store.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

class BatchRunStopTest : public ::testing::Test {
 protected:
  BatchRunStopTest() {
    platform.controls.options.removeTextEnabled = 1;
    platform.controls.options.removeText = "X";
  }

  void ListChangingFiles(int count) {
    for (int i = 1; i <= count; ++i) {
      const std::string path = "f" + std::to_string(i);
      platform.list.push_back(path);
      store.files[path] = "X";
    }
  }

  // A STOP press that the given (1-based) draining delivers.
  void PressStopAtDrain(int drain) {
    platform.onDrain = [this, drain](int number) {
      if (number == drain) run.OnStart();
    };
  }

  test::FakePlatform platform;
  WindowFields fields;
  test::MemoryFileStore store;
  BatchRun run{platform, fields, store};
};

TEST_F(BatchRunStopTest, StopDuringTheThirdOfTenFinishesThatFileAndKeepsItsProgress) {
  ListChangingFiles(10);
  PressStopAtDrain(3);
  run.OnStart();

  EXPECT_THAT(store.loads, ElementsAre("f1", "f2", "f3"));
  EXPECT_THAT(store.saves, ElementsAre("f1", "f2", "f3"));
  EXPECT_EQ(store.flushes, 1);
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 10, Replaced files : 3, Errors : 0");
  EXPECT_EQ(platform.controls.percentText, "30 %");
  EXPECT_EQ(platform.progress.back(), 30);
  EXPECT_TRUE(run.stopRequested());
  EXPECT_FALSE(run.running());
  EXPECT_EQ(platform.log.back(), "enable 1027");  // the controls are restored
  EXPECT_EQ(platform.Entries("caption").back(), "caption 1005 START");
}

TEST_F(BatchRunStopTest, StopDuringTheLastFileEndsTheRunNormally) {
  ListChangingFiles(4);
  PressStopAtDrain(4);
  run.OnStart();
  EXPECT_EQ(store.saves.size(), 4u);
  EXPECT_EQ(platform.controls.percentText, "0 %");
  EXPECT_EQ(platform.progress.back(), 0);
}

// A press made while the given file is being handled waits in the queue: the
// next draining delivers it, or the window's own event loop once the run has
// returned.
void PressWhileHandling(test::FakePlatform& platform, BatchRun& run, bool& waiting, int file) {
  platform.onDrain = [&platform, &run, &waiting, file](int number) {
    if (waiting) {
      waiting = false;
      run.OnStart();
    }
    if (number == file) waiting = true;
  };
}

TEST_F(BatchRunStopTest, AStopPressedDuringTheLastFileStartsNoNewRun) {
  ListChangingFiles(2);
  bool waiting = false;
  PressWhileHandling(platform, run, waiting, 2);
  run.OnStart();
  if (waiting) run.OnStart();
  EXPECT_EQ(store.loads.size(), 2u);
  EXPECT_EQ(platform.Entries("caption 1005 STOP").size(), 1u);
  EXPECT_FALSE(run.running());
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 2, Replaced files : 2, Errors : 0");
}

TEST_F(BatchRunStopTest, ASecondStopPressedBeforeTheStoppedEndStartsNoNewRun) {
  ListChangingFiles(5);
  bool waiting = false;
  PressWhileHandling(platform, run, waiting, 1);
  platform.onDrain = [&, next = platform.onDrain](int number) {
    next(number);
    if (number == 2) waiting = true;  // pressed again while file 2 is handled
  };
  run.OnStart();
  if (waiting) run.OnStart();
  EXPECT_EQ(store.loads.size(), 2u);
  EXPECT_EQ(platform.Entries("caption 1005 STOP").size(), 1u);
  EXPECT_FALSE(run.running());
}

TEST_F(BatchRunStopTest, AStopHandledInAnErrorBoxStopsBeforeTheNextFile) {
  ListChangingFiles(3);
  store.failSave.insert("f1");
  platform.onMessage = [this](const test::FakePlatform::Message&) { run.OnStart(); };
  run.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("f1"));
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 3, Replaced files : 0, Errors : 1");
}

TEST_F(BatchRunStopTest, TheNextRunClearsTheStopRequest) {
  ListChangingFiles(3);
  PressStopAtDrain(1);
  run.OnStart();
  ASSERT_TRUE(run.stopRequested());
  EXPECT_EQ(store.loads.size(), 1u);

  platform.onDrain = nullptr;
  run.OnStart();
  EXPECT_FALSE(run.stopRequested());
  EXPECT_EQ(store.loads.size(), 4u);
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 3, Replaced files : 2, Errors : 0");
}

}  // namespace
}  // namespace quillmere
