// The file list as the window fills, shows and clears it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "main_window_logic.h"
#include "memory_file_store.h"
#include "test_files.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

class MainWindowListTest : public ::testing::Test {
 protected:
  void Add(const std::string& path) {
    window.nextChoice = {path};
    logic.OnAddFiles();
  }

  test::FakeWindow window;
  test::MemoryFileStore store;
  MainWindowLogic logic{window, store};
};

TEST_F(MainWindowListTest, ChosenFilesGoOnTopAndARunHandlesTheLastChosenFirst) {
  window.controls.options.searchText = "typed, not yet used";
  window.nextChoice = {"a", "b", "c"};
  logic.OnAddFiles();
  EXPECT_THAT(window.list, ElementsAre("c", "b", "a"));
  EXPECT_THAT(window.log, ElementsAre("read", "dialog", "fit", "progress 0",
                                      "write OK.Selected files : 3|0 %"));
  EXPECT_EQ(window.controls.options.searchText, "typed, not yet used");

  for (const char* path : {"a", "b", "c"}) store.files[path] = "";
  logic.OnStart();
  EXPECT_THAT(store.loads, ElementsAre("c", "b", "a"));
}

TEST_F(MainWindowListTest, OnlyByteIdenticalPathsAreDuplicates) {
  window.nextChoice = {"/d/a.htm", "/d/A.htm", "/d/a.htm"};
  logic.OnAddFiles();
  window.nextChoice = {"/d/a.htm"};
  logic.OnAddFiles();
  EXPECT_THAT(window.list, ElementsAre("/d/A.htm", "/d/a.htm"));
  EXPECT_EQ(window.controls.statusText, "OK.Selected files : 2");
}

TEST_F(MainWindowListTest, CancellingTheDialogChangesNothing) {
  window.controls.statusText = "before";
  logic.OnAddFiles();
  EXPECT_THAT(window.log, ElementsAre("read", "dialog"));
  EXPECT_EQ(window.controls.statusText, "before");
}

TEST_F(MainWindowListTest, ClearEmptiesTheListAndAcceptsThePathsAgain) {
  logic.OnClear();
  EXPECT_THAT(window.log, ElementsAre("read", "delete all", "progress 0", "write OK.|0 %"));
  window.log.clear();
  Add("x");
  logic.OnClear();
  Add("x");
  EXPECT_THAT(window.list, ElementsAre("x"));
}

TEST_F(MainWindowListTest, ADropReportsEachPathThenTheListSize) {
  Add("b");
  window.log.clear();
  window.progress.clear();
  logic.OnDropFiles({"a", "b", "/some/folder"});

  EXPECT_THAT(window.list, ElementsAre("/some/folder", "a", "b"));
  EXPECT_THAT(window.Entries("write"),
              ElementsAre("write OK. Files : 0|33 %", "write OK. Files : 1|66 %",
                          "write OK. Files : 2|100 %", "write OK.Selected files : 3|0 %"));
  EXPECT_THAT(window.progress, ElementsAre(33, 66, 100, 0));
  EXPECT_EQ(window.log.front(), "read");
  // START is locked during the drop and given back with its caption.
  const auto disables = window.Entries("disable");
  ASSERT_EQ(disables.size(), test::kLockedInOrder.size() + 5);
  EXPECT_EQ(disables[test::kLockedInOrder.size() - 1], "disable 1002");  // the list, then
  EXPECT_EQ(disables[test::kLockedInOrder.size()], "disable 1005");      // START
  EXPECT_EQ(window.Entries("caption"), std::vector<std::string>{"caption 1005 START"});
  EXPECT_EQ(window.log.back(), "enable 1027");
}

TEST_F(MainWindowListTest, LongDroppedPathsAreListedWhole) {
  const std::string longPath = "/" + std::string(300, 'n') + "/" + std::string(5000, 'm');
  logic.OnDropFiles({longPath});
  EXPECT_THAT(window.list, ElementsAre(longPath));
}

TEST_F(MainWindowListTest, AFolderThatCannotBeReadIsToldAndTheTreeBesideItIsStillTaken) {
  test::TempFolder root;
  test::WriteFile(root / "a.htm", "a");
  if (!test::MakeTooDeepFolder(root / "b")) GTEST_SKIP() << "no folder too deep to reach here";
  test::MakeFolder(root / "c");
  const std::string c = root / "c/c.htm";
  test::WriteFile(c, "c");
  logic.OnDropFiles({root.path()});

  EXPECT_THAT(window.list, ElementsAre(c, root / "a.htm"));
  const std::string status = window.controls.statusText;
  EXPECT_EQ(status.substr(0, status.find(root.path())),
            "OK.Selected files : 2\nFolders not read : 1, the first: ");
  EXPECT_TRUE(status.ends_with(" (system error: the path is too long for the system)")) << status;
}

TEST_F(MainWindowListTest, NothingChangesTheListDuringARun) {
  Add("f");
  store.files["f"] = "";
  window.log.clear();
  window.nextChoice = {"chosen"};
  window.onDrain = [this](int) {
    logic.OnDropFiles({"dropped"});
    logic.OnAddFiles();
    logic.OnClear();
  };
  logic.OnStart();
  EXPECT_THAT(window.list, ElementsAre("f"));
  EXPECT_TRUE(window.Entries("dialog").empty());
}

TEST_F(MainWindowListTest, ManyPathsKeepOneItemEach) {
  std::vector<std::string> paths;
  for (int i = 0; i < 100000; ++i) paths.push_back("/data/file" + std::to_string(i % 60000));
  window.nextChoice = paths;
  logic.OnAddFiles();
  EXPECT_EQ(window.list.size(), 60000u);
  EXPECT_EQ(window.list.front(), "/data/file59999");
}

TEST_F(MainWindowListTest, TheListControlShowsExactlyTheList) {
  logic.OnDropFiles({"a", "b"});
  Add("c");
  Add("a");
  EXPECT_THAT(window.list, ElementsAre("c", "b", "a"));
  EXPECT_EQ(logic.list().FromTheTop(),
            std::vector<std::string>(window.list.begin(), window.list.end()));
}

}  // namespace
}  // namespace quillmere
