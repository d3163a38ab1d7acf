// A run from the START press to the summary, as the window shows it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "control_lock.h"
#include "fake_window.h"
#include "main_window_logic.h"
#include "memory_file_store.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MainWindowRunTest : public ::testing::Test {
 protected:
  MainWindowRunTest() {
    // Every "X" is removed, so a file changes exactly when it holds one.
    window.controls.options.removeTextEnabled = true;
    window.controls.options.removeText = "X";
  }

  // Lists the files top to bottom with their contents, as a drop does.
  void List(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::string> paths;
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
      paths.push_back(it->first);
      store.files[it->first] = it->second;
    }
    logic.OnDropFiles(paths);
    window.log.clear();
    window.progress.clear();
    window.writes.clear();
  }

  std::string Summary(int files, int replaced, int errors) {
    return "OK. Files : " + std::to_string(files) +
           ", Replaced files : " + std::to_string(replaced) +
           ", Errors : " + std::to_string(errors);
  }

  test::FakeWindow window;
  test::MemoryFileStore store;
  MainWindowLogic logic{window, store};
};

// "disable 1000", "disable 1004", ... for the controls in order.
std::vector<std::string> Lines(const std::string& verb, const std::vector<int>& ids) {
  std::vector<std::string> lines;
  for (const int id : ids) lines.push_back(verb + " " + std::to_string(id));
  return lines;
}

const std::vector<int> kLabels{ids::kRemoveHeading, ids::kBlockBeginLabel, ids::kBlockEndLabel,
                               ids::kReplaceLabel};

TEST_F(MainWindowRunTest, StartOnAnEmptyListOnlyShowsSelectFiles) {
  logic.OnStart();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Select files !");
  EXPECT_EQ(window.messages[0].caption, "Quillmere");
  EXPECT_EQ(window.messages[0].style, MessageStyle::kPlain);
  EXPECT_THAT(window.log, ElementsAre("message Select files !"));
  EXPECT_FALSE(logic.running());
}

TEST_F(MainWindowRunTest, OneUnchangedFileGoesThroughEveryStepInOrder) {
  List({{"a.htm", "abc"}});
  logic.OnStart();
  std::vector<std::string> expected{"progress 0", "read", "write OK.Selected files : 1|0 %"};
  const auto add = [&](const std::vector<std::string>& lines) {
    expected.insert(expected.end(), lines.begin(), lines.end());
  };
  add(Lines("disable", test::kLockedInOrder));  // START stays usable: it is STOP now
  add(Lines("disable", kLabels));
  add({"caption 1005 STOP", "progress 100", "write a.htm|100 %", "drain 1"});
  // The normal end.
  add({"progress 100", "progress 0", "write " + Summary(1, 0, 0) + "|0 %", "drain 2"});
  add(Lines("enable", test::kLockedInOrder));
  add({"caption 1005 START", "enable 1005"});
  add(Lines("enable", kLabels));
  EXPECT_EQ(window.log, expected);
  EXPECT_THAT(store.saves, IsEmpty());
  EXPECT_EQ(window.controls.statusText, Summary(1, 0, 0));
  EXPECT_FALSE(logic.running());
}

TEST_F(MainWindowRunTest, OnlyChangedFilesAreWrittenFromTheTopOfTheList) {
  List({{"c", "aXb"}, {"b", "plain"}, {"a", ""}});
  logic.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("c", "b", "a"));
  EXPECT_THAT(store.saves, ElementsAre("c"));
  EXPECT_EQ(store.files["c"], "ab");
  EXPECT_EQ(store.flushes, 1);
  EXPECT_EQ(window.controls.statusText, Summary(3, 1, 0));
  EXPECT_EQ(logic.counters().fileCount, 3);
  EXPECT_EQ(logic.counters().replacedCount, 1);
}

TEST_F(MainWindowRunTest, LoadAndSaveFailuresAreReportedOneByOneAndTheRunGoesOn) {
  List({{"missing", ""}, {"locked", "X"}, {"huge", "X"}, {"fine", "X"}});
  store.files.erase("missing");
  store.failSave.insert("locked");
  store.throwOnLoad.insert("huge");
  logic.OnStart();

  ASSERT_EQ(window.messages.size(), 3u);
  EXPECT_EQ(window.messages[0].text, "File open error: missing");
  EXPECT_EQ(window.messages[0].details, "not found");
  EXPECT_EQ(window.messages[1].text, "File save error: locked");
  EXPECT_EQ(window.messages[1].details, "read-only (no write bit)");
  EXPECT_EQ(window.messages[2].text, "File open error: huge");
  EXPECT_EQ(window.messages[2].details, "out of memory");
  for (const auto& message : window.messages) {
    EXPECT_EQ(message.caption, "");
    EXPECT_EQ(message.style, MessageStyle::kExclamation);
  }
  EXPECT_THAT(store.saves, ElementsAre("locked", "fine"));
  EXPECT_EQ(store.files["locked"], "X");
  EXPECT_EQ(window.controls.statusText, Summary(4, 1, 3));
}

TEST_F(MainWindowRunTest, AFileMetAgainUnderAnotherNameCountsAsUnchanged) {
  List({{"a", "X"}, {"./a", ""}, {"b", "X"}});
  store.aliases["./a"] = "a";
  logic.OnStart();
  EXPECT_THAT(store.saves, ElementsAre("a", "b"));
  EXPECT_EQ(window.controls.statusText, Summary(3, 2, 0));
}

TEST_F(MainWindowRunTest, AFileRestoredAfterAnInterruptedRunIsToldInTheStatusLine) {
  List({{"a", "X"}});
  store.restoreOnLoad.insert("a");
  logic.OnStart();
  EXPECT_EQ(window.controls.statusText,
            Summary(1, 1, 0) + "\nRestored after an interrupted run : 1");
}

TEST_F(MainWindowRunTest, PathsOfAnyLengthAreUsedWhole) {
  const std::string path(70000, 'p');
  List({{path + "!", "X"}});
  store.failSave.insert(path + "!");
  logic.OnStart();
  EXPECT_EQ(window.writes.at(1).statusText, path + "!");
  EXPECT_EQ(window.messages.at(0).text, "File save error: " + path + "!");
}

TEST_F(MainWindowRunTest, OptionsReadAtStartHoldForTheWholeRun) {
  List({{"a", "X"}, {"b", "X"}});
  window.onDrain = [&](int) {
    window.controls.options.removeTextEnabled = false;  // neither may reach the run
    logic.fields().options.removeTextEnabled = false;
  };
  logic.OnStart();
  EXPECT_THAT(store.saves, ElementsAre("a", "b"));
}

TEST_F(MainWindowRunTest, TheRunIsOnFromItsFirstDrainToItsLast) {
  List({{"a", ""}});
  std::vector<bool> allowed;
  window.onDrain = [&](int) { allowed.push_back(!logic.running()); };
  EXPECT_FALSE(logic.running());
  logic.OnStart();
  EXPECT_THAT(allowed, ElementsAre(false, false));
  EXPECT_FALSE(logic.running());
}

TEST_F(MainWindowRunTest, The97thOf97FilesShows99AndTheEndResetsTheBar) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 0; i < 97; ++i) files.emplace_back("f" + std::to_string(i), "");
  List(files);
  logic.OnStart();
  EXPECT_EQ(window.writes.at(97).percentText, "99 %");
  EXPECT_EQ(window.writes.at(97).statusText, "f96");
  EXPECT_THAT(std::vector<int>(window.progress.end() - 3, window.progress.end()),
              ElementsAre(99, 100, 0));
  EXPECT_EQ(window.controls.percentText, "0 %");
}

}  // namespace
}  // namespace quillmere
