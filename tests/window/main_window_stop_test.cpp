#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "main_window_logic.h"
#include "memory_file_store.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

class MainWindowStopTest : public ::testing::Test {
 protected:
  MainWindowStopTest() {
    window.controls.options.removeTextEnabled = true;
    window.controls.options.removeText = "X";
  }

  // Lists f1 to fN, f1 at the top, each a file that changes.
  void ListChangingFiles(int count) {
    std::vector<std::string> paths;
    for (int i = count; i >= 1; --i) {
      paths.push_back("f" + std::to_string(i));
      store.files[paths.back()] = "X";
    }
    logic.OnDropFiles(paths);
    window.log.clear();
    window.progress.clear();
  }

  // A STOP press that the given (1-based) draining delivers.
  void PressStopAtDrain(int drain) {
    window.onDrain = [this, drain](int number) {
      if (number == drain) logic.OnStart();
    };
  }

  test::FakeWindow window;
  test::MemoryFileStore store;
  test::ManualClock clock;
  MainWindowLogic logic{window, store, clock.Function()};
};

TEST_F(MainWindowStopTest, StopDuringTheThirdOfTenFinishesThatFileAndKeepsItsProgress) {
  ListChangingFiles(10);
  PressStopAtDrain(3);
  logic.OnStart();

  EXPECT_THAT(store.loads, ElementsAre("f1", "f2", "f3"));
  EXPECT_THAT(store.saves, ElementsAre("f1", "f2", "f3"));
  EXPECT_EQ(store.flushes, 1);
  EXPECT_EQ(window.controls.statusText,
            "Stopped. Files : 10, Done : 3, Replaced files : 3, Errors : 0");
  EXPECT_EQ(window.controls.percentText, "30 %");
  EXPECT_EQ(window.progress.back(), 30);
  EXPECT_TRUE(logic.stopRequested());
  EXPECT_FALSE(logic.running());
  EXPECT_EQ(window.log.back(), "enable 1027");  // the controls are restored
  EXPECT_EQ(window.Entries("caption").back(), "caption 1005 START");
}

TEST_F(MainWindowStopTest, StopDuringTheLastFileEndsTheRunNormally) {
  ListChangingFiles(4);
  PressStopAtDrain(4);
  logic.OnStart();
  EXPECT_EQ(store.saves.size(), 4u);
  EXPECT_EQ(window.controls.percentText, "0 %");
  EXPECT_EQ(window.progress.back(), 0);
}

// A press made while the given file is being handled waits in the queue: the
// next draining delivers it, or the window's own event loop once the run has
// returned.
void PressWhileHandling(test::FakeWindow& window, MainWindowLogic& logic, bool& waiting, int file) {
  window.onDrain = [&logic, &waiting, file](int number) {
    if (waiting) {
      waiting = false;
      logic.OnStart();
    }
    if (number == file) waiting = true;
  };
}

TEST_F(MainWindowStopTest, AStopPressedDuringTheLastFileStartsNoNewRun) {
  ListChangingFiles(2);
  bool waiting = false;
  PressWhileHandling(window, logic, waiting, 2);
  logic.OnStart();
  if (waiting) logic.OnStart();
  EXPECT_EQ(store.loads.size(), 2u);
  EXPECT_EQ(window.Entries("caption 1005 STOP").size(), 1u);
  EXPECT_FALSE(logic.running());
  EXPECT_EQ(window.controls.statusText, "OK. Files : 2, Replaced files : 2, Errors : 0");
}

TEST_F(MainWindowStopTest, ASecondStopPressedBeforeTheStoppedEndStartsNoNewRun) {
  ListChangingFiles(5);
  bool waiting = false;
  PressWhileHandling(window, logic, waiting, 1);
  window.onDrain = [&, next = window.onDrain](int number) {
    next(number);
    if (number == 2) waiting = true;  // pressed again while file 2 is handled
  };
  logic.OnStart();
  if (waiting) logic.OnStart();
  EXPECT_EQ(store.loads.size(), 2u);
  EXPECT_EQ(window.Entries("caption 1005 STOP").size(), 1u);
  EXPECT_FALSE(logic.running());
}

TEST_F(MainWindowStopTest, AStopHandledInAnErrorBoxStopsBeforeTheNextFile) {
  ListChangingFiles(3);
  store.failSave.insert("f1");
  window.onMessage = [this](const test::FakeWindow::Message&) { logic.OnStart(); };
  logic.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("f1"));
  EXPECT_EQ(window.controls.statusText,
            "Stopped. Files : 3, Done : 1, Replaced files : 0, Errors : 1");
}

// The error box's answers: "Stop the run" ends the run after the failed
// file; "Don't show again in this run" lets it go on with no further boxes,
// the failures still counted; the next run shows boxes again. The summary
// is announced once either way.
TEST(MainWindowErrorBox, CanStopTheRunOrItsBoxes) {
  struct Case {
    FailureAnswer answer;
    std::vector<std::string> loads;
    std::size_t boxes;
    std::string summary;
  };
  for (const Case& c : {
           Case{FailureAnswer::kStopRun,
                {"f1"},
                1,
                "Stopped. Files : 3, Done : 1, Replaced files : 0, Errors : 1"},
           Case{FailureAnswer::kNoMoreBoxes,
                {"f1", "f2", "f3"},
                1,
                "OK. Files : 3, Replaced files : 0, Errors : 3"},
           Case{FailureAnswer::kGoOn,
                {"f1", "f2", "f3"},
                3,
                "OK. Files : 3, Replaced files : 0, Errors : 3"},
       }) {
    test::FakeWindow window;
    test::MemoryFileStore store;
    test::ManualClock clock;
    MainWindowLogic logic{window, store, clock.Function()};
    window.controls.options.removeTextEnabled = true;
    window.controls.options.removeText = "X";
    logic.OnDropFiles({"f3", "f2", "f1"});
    for (const char* name : {"f1", "f2", "f3"}) {
      store.files[name] = "X";
      store.failSave.insert(name);
    }
    window.failureAnswer = c.answer;
    logic.OnStart();
    EXPECT_EQ(store.loads, c.loads);
    EXPECT_EQ(window.messages.size(), c.boxes);
    EXPECT_EQ(window.controls.statusText, c.summary);
    EXPECT_EQ(window.announced, std::vector<std::string>{c.summary});
    clock.Advance(MainWindowLogic::kStartQuietTime);
    window.failureAnswer = FailureAnswer::kGoOn;
    window.messages.clear();
    logic.OnStart();
    EXPECT_EQ(window.messages.size(), 3u) << "the next run shows its boxes";
  }
}

TEST_F(MainWindowStopTest, AStartTooSoonAfterARunIsPartOfThatRun) {
  ListChangingFiles(2);
  logic.OnStart();
  const std::size_t loads = store.loads.size();
  clock.Advance(MainWindowLogic::kStartQuietTime - std::chrono::milliseconds(1));
  logic.OnStart();  // the Enter that closed the run's last box, a late click
  EXPECT_EQ(store.loads.size(), loads);
  clock.Advance(std::chrono::milliseconds(1));
  logic.OnStart();
  EXPECT_EQ(store.loads.size(), 2 * loads);
}

TEST_F(MainWindowStopTest, TheNextRunClearsTheStopRequest) {
  ListChangingFiles(3);
  PressStopAtDrain(1);
  logic.OnStart();
  ASSERT_TRUE(logic.stopRequested());
  EXPECT_EQ(store.loads.size(), 1u);

  window.onDrain = nullptr;
  clock.Advance(MainWindowLogic::kStartQuietTime);
  logic.OnStart();
  EXPECT_FALSE(logic.stopRequested());
  EXPECT_EQ(store.loads.size(), 4u);
  EXPECT_EQ(window.controls.statusText, "OK. Files : 3, Replaced files : 2, Errors : 0");
}

}  // namespace
}  // namespace quillmere
