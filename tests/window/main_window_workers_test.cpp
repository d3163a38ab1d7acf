// The window's run on several workers: what the window shows is what a run
// by one shows, failures and their boxes included, and a stop reports every
// file that was saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fake_window.h"
#include "locked_file_store.h"
#include "main_window_logic.h"
#include "memory_file_store.h"

namespace quillmere {
namespace {

// One window over a store of 40 files: most change, some fail to open or to
// save, one is listed under a second name.
struct WindowRun {
  explicit WindowRun(int workers) {
    window.controls.options.removeTextEnabled = true;
    window.controls.options.removeText = "X";
    std::vector<std::string> paths;
    for (int i = 40; i >= 1; --i) {
      const std::string name = "f" + std::to_string(i);
      if (i != 13) store.files[name] = i % 4 == 0 ? "plain" : "X" + name;
      paths.push_back(name);
    }
    store.failSave = {"f6", "f27"};
    store.aliases["./f3"] = "f3";
    paths.push_back("./f3");
    logic.OnDropFiles(paths);
    window.log.clear();
    if (workers > 1) {
      logic.RunOnWorkers([this] { return std::make_unique<test::LockedFileStore>(store, mutex); },
                         workers);
    }
  }

  // The window's calls, but how often it handled its events.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    std::copy_if(window.log.begin(), window.log.end(), std::back_inserter(shown),
                 [](const std::string& line) { return !line.starts_with("drain "); });
    return shown;
  }

  test::FakeWindow window;
  test::MemoryFileStore store;
  std::mutex mutex;
  MainWindowLogic logic{window, store};
};

TEST(MainWindowWorkers, ShowTheFilesFailuresBoxesAndSummaryOfARunByOne) {
  WindowRun serial(1);
  serial.logic.OnStart();
  WindowRun parallel(3);
  parallel.logic.OnStart();

  EXPECT_EQ(parallel.Shown(), serial.Shown());
  EXPECT_EQ(parallel.window.announced, serial.window.announced);
  EXPECT_EQ(parallel.logic.counters(), serial.logic.counters());
  ASSERT_EQ(parallel.logic.failures().size(), 3u);  // f6, f13 and f27, in the list's order
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(parallel.logic.failures()[i].path, serial.logic.failures()[i].path);
  }
  EXPECT_EQ(parallel.store.files, serial.store.files);
}

TEST(MainWindowWorkers, AStopFromAnErrorBoxReportsEveryFileSavedAndShowsNoMoreBoxes) {
  WindowRun run(2);
  const std::map<std::string, std::string> before = run.store.files;
  run.window.failureAnswer = FailureAnswer::kStopRun;
  run.logic.OnStart();
  int changed = 0;
  for (const auto& [name, text] : run.store.files) changed += text != before.at(name) ? 1 : 0;
  EXPECT_EQ(run.logic.counters().replacedCount, changed);
  EXPECT_EQ(run.window.messages.size(), 1u);  // the box of f6 alone
}

}  // namespace
}  // namespace quillmere
