// "Undo last run" and the runs' journal, on real files with the journal in a
// folder of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fake_window.h"
#include "file_store_layer.h"
#include "main_window_logic.h"
#include "run_journal.h"
#include "test_files.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Holds each save, once closed, until the test lets one through.
class GatedStore final : public FileStoreLayer {
 public:
  using FileStoreLayer::FileStoreLayer;
  std::optional<FileError> Save(const std::string& path, const std::string& text) override {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return !closed_ || passes_ > 0; });
    if (closed_) --passes_;
    lock.unlock();
    return FileStoreLayer::Save(path, text);
  }
  void Close(bool closed) {
    const std::lock_guard lock(mutex_);
    closed_ = closed;
    opened_.notify_all();
  }
  void LetOneThrough() {
    const std::lock_guard lock(mutex_);
    ++passes_;
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool closed_ = false;
  int passes_ = 0;
};

class MainWindowUndoTest : public ::testing::Test {
 protected:
  MainWindowUndoTest() {
    // Every "X" is removed, so a file changes exactly when it holds one.
    window.controls.options.removeTextEnabled = true;
    window.controls.options.removeText = "X";
    UseJournal(std::uint64_t{1} << 30);
  }

  void UseJournal(std::uint64_t byteLimit) {
    logic.reset();
    journal = std::make_unique<WindowJournal>(*store, runs / "runs", byteLimit);
    logic = std::make_unique<MainWindowLogic>(window, *journal, clock.Function());
  }

  // One run over `path` alone, after the quiet time of the run before.
  void RunOver(const std::string& path) {
    logic->OnClear();
    logic->OnDropFiles({path});
    clock.Advance(MainWindowLogic::kStartQuietTime);
    logic->OnStart();
  }

  test::TempFolder files;
  test::TempFolder runs;
  std::unique_ptr<FileStore> system = MakeSystemFileStore();
  GatedStore gate{*system};
  FileStore* store = &gate;
  test::FakeWindow window;
  test::ManualClock clock;
  std::unique_ptr<WindowJournal> journal;
  std::unique_ptr<MainWindowLogic> logic;
};

TEST_F(MainWindowUndoTest, AsksWithTheLastRunsCountAndTimeThenPutsBackThatRunAlone) {
  const std::string first = files / "first.htm";
  const std::string second = files / "second.htm";
  test::WriteFile(first, "aXb");
  test::WriteFile(second, "cXd");
  RunOver(first);
  // Refused while a run goes on.
  window.onDrain = [this](int) { logic->OnUndoLastRun(); };
  const std::int64_t before = std::time(nullptr);
  RunOver(second);
  const std::int64_t after = std::time(nullptr);
  window.onDrain = nullptr;
  ASSERT_EQ(test::ReadFile(second), "cd");
  EXPECT_THAT(window.Entries("confirm"), IsEmpty());

  const std::string question =
      "confirm Put back the 1 file the last run changed, on TIME, as it was before it?\n\n" +
      second;
  window.answer = false;
  logic->OnUndoLastRun();
  EXPECT_THAT(window.Entries("confirm"), ElementsAre(question));
  ASSERT_EQ(window.times.size(), 1u);
  EXPECT_GE(window.times[0], before);
  EXPECT_LE(window.times[0], after);
  EXPECT_EQ(test::ReadFile(second), "cd");
  EXPECT_EQ(window.controls.statusText, "OK. Files : 1, Replaced files : 1, Errors : 0");

  window.answer = true;
  logic->OnUndoLastRun();
  EXPECT_EQ(test::ReadFile(second), "cXd");
  EXPECT_EQ(test::ReadFile(first), "ab");
  EXPECT_EQ(window.controls.statusText, "Undone : 1 file, left alone : 0");
  EXPECT_EQ(window.announced.back(), window.controls.statusText);  // told once it ends
  EXPECT_THAT(logic->failures(), IsEmpty());

  // The first run is the last one not undone now; its file was edited since.
  test::WriteFile(first, "edited");
  logic->OnUndoLastRun();
  EXPECT_EQ(test::ReadFile(first), "edited");
  EXPECT_EQ(window.controls.statusText, "Undone : 0 files, left alone : 1");
  ASSERT_EQ(logic->failures().size(), 1u);
  EXPECT_EQ(logic->failures()[0].path, first);
  EXPECT_EQ(logic->failures()[0].reason,
            "changed by another program since it was read (since the run)");
}

TEST_F(MainWindowUndoTest, EachWindowUndoesItsOwnRunsAndTellsUpToFiveOfTheirFiles) {
  std::vector<std::string> paths;
  for (int i = 0; i < 7; ++i) {
    paths.push_back(files / ("page" + std::to_string(i) + ".htm"));
    test::WriteFile(paths.back(), "aXb");
  }
  logic->OnClear();
  logic->OnDropFiles(paths);
  clock.Advance(MainWindowLogic::kStartQuietTime);
  logic->OnStart();
  // Another window's run over another file comes later.
  const std::string others = files / "others.htm";
  test::WriteFile(others, "cXd");
  test::FakeWindow otherWindow;
  otherWindow.controls.options = window.controls.options;
  WindowJournal otherJournal(*store, runs / "runs", std::uint64_t{1} << 30);
  MainWindowLogic other(otherWindow, otherJournal, clock.Function());
  other.OnDropFiles({others});
  clock.Advance(MainWindowLogic::kStartQuietTime);
  other.OnStart();
  ASSERT_EQ(test::ReadFile(others), "cd");

  // The list shows the newest at the top: the run took page6 first, and
  // its newest change is page0's.
  std::vector<std::string> drained;  // each file the status line told of while the window answered
  window.onDrain = [&](int) {
    const std::string& status = window.controls.statusText;
    if (status.starts_with("Undoing") && (drained.empty() || drained.back() != status))
      drained.push_back(status);
  };
  logic->OnUndoLastRun();
  const std::vector<std::string> asked = window.Entries("confirm");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_THAT(asked[0], ::testing::HasSubstr("the 7 files"));
  EXPECT_THAT(asked[0], ::testing::EndsWith("\n\n" + paths[0] + "\n" + paths[1] + "\n" + paths[2] +
                                            "\n" + paths[3] + "\n" + paths[4] + "\nand 2 more"));
  for (const std::string& path : paths) EXPECT_EQ(test::ReadFile(path), "aXb");
  EXPECT_EQ(test::ReadFile(others), "cd");
  ASSERT_EQ(drained.size(), 7u);
  EXPECT_EQ(drained.front(), "Undoing : " + paths[0]);
  EXPECT_EQ(window.controls.statusText, "Undone : 7 files, left alone : 0");
}

TEST_F(MainWindowUndoTest, AStoppedUndoFinishesTheFileInHandAndTellsHowManyAreLeft) {
  std::vector<std::string> paths;
  for (int i = 0; i < 7; ++i) {
    paths.push_back(files / ("page" + std::to_string(i) + ".htm"));
    test::WriteFile(paths.back(), "aXb");
  }
  logic->OnDropFiles(paths);
  clock.Advance(MainWindowLogic::kStartQuietTime);
  logic->OnStart();

  gate.Close(true);
  // One save goes through; once the window shows that file, STOP is pressed
  // while the second waits, and only then is the second let through.
  bool released = false;
  bool stopped = false;
  window.onDrain = [&](int) {
    if (stopped) {
      gate.LetOneThrough();
    } else if (window.controls.statusText.starts_with("Undoing")) {
      logic->OnStart();
      stopped = true;
    } else if (!released) {
      gate.LetOneThrough();
      released = true;
    }
  };
  logic->OnUndoLastRun();
  EXPECT_EQ(window.controls.statusText,
            "Stopped. Undone : 2 files, left alone : 0, not yet undone : 5");

  gate.Close(false);
  window.onDrain = nullptr;
  logic->OnUndoLastRun();
  EXPECT_EQ(window.controls.statusText, "Undone : 5 files, left alone : 0");
  for (const std::string& path : paths) EXPECT_EQ(test::ReadFile(path), "aXb");
}

TEST_F(MainWindowUndoTest, WithNoRunToUndoItSaysSoAndAsksNothing) {
  test::FakeWindow plain;
  MainWindowLogic unjournaled(plain, *store);
  logic->OnUndoLastRun();  // a journal without runs
  unjournaled.OnUndoLastRun();
  for (const test::FakeWindow* shown : {&window, &plain}) {
    EXPECT_THAT(shown->Entries("confirm"), IsEmpty());
    ASSERT_EQ(shown->messages.size(), 1u);
    EXPECT_EQ(shown->messages[0].text, "No run to undo.");
    EXPECT_EQ(shown->messages[0].caption, "Quillmere");
  }
}

TEST_F(MainWindowUndoTest, FilesWithoutRoomForAnUndoCopyAreCountedAfterEachRunsSummary) {
  UseJournal(0);
  const std::string path = files / "page.htm";
  for (const char* text : {"X1", "X2"}) {
    test::WriteFile(path, text);
    RunOver(path);
    EXPECT_EQ(window.controls.statusText,
              "OK. Files : 1, Replaced files : 1, Errors : 0\nCleaned without an undo copy : 1");
  }
}

}  // namespace
}  // namespace quillmere
