#include "file_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_run.h"
#include "fake_platform.h"
#include "memory_file_store.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

class FileListTest : public ::testing::Test {
 protected:
  test::FakePlatform platform;
  WindowFields fields;
  test::MemoryFileStore store;
  BatchRun run{platform, fields, store};
  FileList list{platform, fields, run};
};

TEST_F(FileListTest, ChosenFilesGoOnTopAndARunHandlesTheLastChosenFirst) {
  platform.controls.options.searchText = "typed, not yet used";
  platform.nextChoice = {"a", "b", "c"};
  list.OnAddFiles();
  EXPECT_THAT(platform.list, ElementsAre("c", "b", "a"));
  EXPECT_THAT(platform.log, ElementsAre("read", "dialog", "fit", "progress 0",
                                        "write OK.Selected files : 3|0 %"));
  EXPECT_EQ(platform.controls.options.searchText, "typed, not yet used");

  for (const char* path : {"a", "b", "c"}) store.files[path] = "";
  run.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("c", "b", "a"));
}

TEST_F(FileListTest, OnlyByteIdenticalPathsAreDuplicates) {
  platform.nextChoice = {"/d/a.htm", "/d/A.htm", "/d/a.htm"};
  list.OnAddFiles();
  platform.nextChoice = {"/d/a.htm"};
  list.OnAddFiles();
  EXPECT_THAT(platform.list, ElementsAre("/d/A.htm", "/d/a.htm"));
  EXPECT_EQ(platform.controls.statusText, "OK.Selected files : 2");
}

TEST_F(FileListTest, CancellingTheDialogChangesNothing) {
  platform.controls.statusText = "before";
  list.OnAddFiles();
  EXPECT_THAT(platform.log, ElementsAre("read", "dialog"));
  EXPECT_EQ(platform.controls.statusText, "before");
}

TEST_F(FileListTest, ClearEmptiesTheListAndAcceptsThePathsAgain) {
  list.OnClear();
  EXPECT_THAT(platform.log, ElementsAre("read", "delete all", "progress 0", "write OK.|0 %"));
  list.AddPath("x");
  list.OnClear();
  list.AddPath("x");
  EXPECT_THAT(platform.list, ElementsAre("x"));
}

TEST_F(FileListTest, ADropReportsEachPathThenTheListSize) {
  list.AddPath("b");
  platform.log.clear();
  list.OnDropFiles({"a", "b", "/some/folder"});

  EXPECT_THAT(platform.list, ElementsAre("/some/folder", "a", "b"));
  EXPECT_THAT(platform.Entries("write"),
              ElementsAre("write OK. Files : 0|33 %", "write OK. Files : 1|66 %",
                          "write OK. Files : 2|100 %", "write OK.Selected files : 3|0 %"));
  EXPECT_THAT(platform.progress, ElementsAre(33, 66, 100, 0));
  EXPECT_EQ(platform.log.front(), "read");
  // START is locked during the drop and given back with its caption.
  const auto disables = platform.Entries("disable");
  EXPECT_EQ(disables.size(), 27u);
  EXPECT_EQ(disables[21], "disable 1002");
  EXPECT_EQ(disables[22], "disable 1005");
  EXPECT_EQ(platform.Entries("caption"), std::vector<std::string>{"caption 1005 START"});
  EXPECT_EQ(platform.log.back(), "enable 1027");
}

TEST_F(FileListTest, LongDroppedPathsAreListedWhole) {
  const std::string longPath = "/" + std::string(300, 'n') + "/" + std::string(5000, 'm');
  list.OnDropFiles({longPath});
  EXPECT_THAT(platform.list, ElementsAre(longPath));
}

TEST_F(FileListTest, NothingChangesTheListDuringARun) {
  platform.list.push_back("f");
  store.files["f"] = "";
  platform.nextChoice = {"chosen"};
  platform.onDrain = [this](int) {
    list.OnDropFiles({"dropped"});
    list.OnAddFiles();
    list.OnClear();
  };
  run.OnStart();
  EXPECT_THAT(platform.list, ElementsAre("f"));
  EXPECT_TRUE(platform.Entries("dialog").empty());
}

TEST_F(FileListTest, ManyPathsKeepOneItemEach) {
  std::vector<std::string> paths;
  for (int i = 0; i < 100000; ++i) paths.push_back("/data/file" + std::to_string(i % 60000));
  for (const auto& path : paths) list.AddPath(path);
  EXPECT_EQ(platform.list.size(), 60000u);
  EXPECT_EQ(platform.list.front(), "/data/file59999");
}

TEST_F(FileListTest, ItemsAddedBehindItsBackStillCountAsListed) {
  platform.list.push_back("from elsewhere");
  list.AddPath("from elsewhere");
  EXPECT_THAT(platform.list, ElementsAre("from elsewhere"));
}

}  // namespace
}  // namespace quillmere
