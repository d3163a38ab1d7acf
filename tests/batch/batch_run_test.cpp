#include "batch_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fake_platform.h"
#include "memory_file_store.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    // Every "X" is removed, so a file changes exactly when it holds one.
    platform.controls.options.removeTextEnabled = 1;
    platform.controls.options.removeText = "X";
  }

  // Lists the files top to bottom with their contents.
  void List(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [path, text] : files) {
      platform.list.push_back(path);
      store.files[path] = text;
    }
  }

  std::string Summary(int files, int replaced, int errors) {
    return "OK. Files : " + std::to_string(files) +
           ", Replaced files : " + std::to_string(replaced) +
           ", Errors : " + std::to_string(errors);
  }

  test::FakePlatform platform;
  WindowFields fields;
  test::MemoryFileStore store;
  BatchRun run{platform, fields, store};
};

TEST_F(BatchRunTest, StartOnAnEmptyListOnlyShowsSelectFiles) {
  run.OnStart();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Select files !");
  EXPECT_EQ(platform.messages[0].caption, "Quillmere");
  EXPECT_EQ(platform.messages[0].style, MessageStyle::kPlain);
  EXPECT_THAT(platform.log, ElementsAre("message Select files !"));
  EXPECT_FALSE(run.running());
}

TEST_F(BatchRunTest, OneUnchangedFileGoesThroughEveryStepInOrder) {
  List({{"a.htm", "abc"}});
  run.OnStart();
  const std::vector<std::string> expected{
      "progress 0", "read", "write |",
      // LockControls without START
      "disable 1000", "disable 1004", "disable 1", "disable 1001", "disable 1003", "disable 1006",
      "disable 1008", "disable 1014", "disable 1017", "disable 1018", "disable 1019",
      "disable 1020", "disable 1021", "disable 1023", "disable 1024", "disable 1028",
      "disable 1007", "disable 1009", "disable 1010", "disable 1012", "disable 1013",
      "disable 1002", "disable 1022", "disable 1025", "disable 1026", "disable 1027",
      "caption 1005 STOP", "progress 100", "write a.htm|100 %", "drain 1",
      // normal end
      "progress 100", "progress 0", "write " + Summary(1, 0, 0) + "|0 %", "drain 2",
      // RestoreControls
      "enable 1000", "enable 1004", "enable 1", "enable 1001", "enable 1003", "enable 1006",
      "enable 1008", "enable 1014", "enable 1017", "enable 1018", "enable 1019", "enable 1020",
      "enable 1021", "enable 1023", "enable 1024", "enable 1028", "enable 1007", "enable 1009",
      "enable 1010", "enable 1012", "enable 1013", "enable 1002", "caption 1005 START",
      "enable 1005", "enable 1022", "enable 1025", "enable 1026", "enable 1027"};
  EXPECT_EQ(platform.log, expected);
  EXPECT_THAT(store.saves, IsEmpty());
  EXPECT_EQ(platform.controls.statusText, Summary(1, 0, 0));
  EXPECT_FALSE(run.running());
}

TEST_F(BatchRunTest, OnlyChangedFilesAreWrittenFromTheTopOfTheList) {
  List({{"c", "aXb"}, {"b", "plain"}, {"a", ""}});
  run.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("c", "b", "a"));
  EXPECT_THAT(store.saves, ElementsAre("c"));
  EXPECT_EQ(store.files["c"], "ab");
  EXPECT_EQ(store.flushes, 1);
  EXPECT_EQ(platform.controls.statusText, Summary(3, 1, 0));
  EXPECT_EQ(run.counters().fileCount, 3);
  EXPECT_EQ(run.counters().replacedCount, 1);
}

TEST_F(BatchRunTest, LoadAndSaveFailuresAreReportedOneByOneAndTheRunGoesOn) {
  List({{"missing", ""}, {"locked", "X"}, {"huge", "X"}, {"fine", "X"}});
  store.files.erase("missing");
  store.failSave.insert("locked");
  store.throwOnLoad.insert("huge");
  run.OnStart();

  ASSERT_EQ(platform.messages.size(), 3u);
  EXPECT_EQ(platform.messages[0].text, "File open error: missing");
  EXPECT_EQ(platform.messages[0].details, "not found");
  EXPECT_EQ(platform.messages[1].text, "File save error: locked");
  EXPECT_EQ(platform.messages[1].details, "read-only (no write bit)");
  EXPECT_EQ(platform.messages[2].text, "File open error: huge");
  EXPECT_EQ(platform.messages[2].details, "out of memory");
  for (const auto& message : platform.messages) {
    EXPECT_EQ(message.caption, "");
    EXPECT_EQ(message.style, MessageStyle::kExclamation);
  }
  EXPECT_THAT(store.saves, ElementsAre("locked", "fine"));
  EXPECT_EQ(store.files["locked"], "X");
  EXPECT_EQ(platform.controls.statusText, Summary(4, 1, 3));
}

TEST_F(BatchRunTest, AFileMetAgainUnderAnotherNameCountsAsUnchanged) {
  List({{"a", "X"}, {"./a", ""}, {"b", "X"}});
  store.aliases["./a"] = "a";
  run.OnStart();
  EXPECT_THAT(store.saves, ElementsAre("a", "b"));
  EXPECT_EQ(platform.controls.statusText, Summary(3, 2, 0));
}

TEST_F(BatchRunTest, AFileRestoredAfterAnInterruptedRunIsToldAndCounted) {
  List({{"a", "X"}});
  store.restoreOnLoad.insert("a");
  run.OnStart();
  EXPECT_THAT(platform.notices,
              ElementsAre("File restored: a\tits content from before an interrupted run was put "
                          "back first"));
  EXPECT_EQ(platform.controls.statusText,
            Summary(1, 1, 0) + "\nRestored after an interrupted run : 1");
}

TEST_F(BatchRunTest, PathsOfAnyLengthAreUsedWhole) {
  const std::string path(70000, 'p');
  List({{path + "!", "X"}});
  store.failSave.insert(path + "!");
  run.OnStart();
  EXPECT_EQ(platform.writes.at(1).statusText, path + "!");
  EXPECT_EQ(platform.messages.at(0).text, "File save error: " + path + "!");
}

TEST_F(BatchRunTest, OptionsReadAtStartHoldForTheWholeRun) {
  List({{"a", "X"}, {"b", "X"}});
  platform.onDrain = [&](int) {
    platform.controls.options.removeTextEnabled = 0;  // neither may reach the run
    fields.options.removeTextEnabled = 0;
  };
  run.OnStart();
  EXPECT_THAT(store.saves, ElementsAre("a", "b"));
}

TEST_F(BatchRunTest, CloseIsRefusedOnlyWhileRunning) {
  List({{"a", ""}});
  std::vector<bool> allowed;
  platform.onDrain = [&](int) { allowed.push_back(run.AllowClose()); };
  EXPECT_TRUE(run.AllowClose());
  run.OnStart();
  EXPECT_THAT(allowed, ElementsAre(false, false));
  EXPECT_TRUE(run.AllowClose());
}

TEST_F(BatchRunTest, The97thOf97FilesShows99AndTheEndResetsTheBar) {
  for (int i = 0; i < 97; ++i) List({{"f" + std::to_string(i), ""}});
  run.OnStart();
  EXPECT_EQ(platform.writes.at(97).percentText, "99 %");
  EXPECT_EQ(platform.writes.at(97).statusText, "f96");
  EXPECT_THAT(std::vector<int>(platform.progress.end() - 3, platform.progress.end()),
              ElementsAre(99, 100, 0));
  EXPECT_EQ(platform.controls.percentText, "0 %");
}

}  // namespace
}  // namespace quillmere
