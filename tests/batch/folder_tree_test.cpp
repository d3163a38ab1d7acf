// Listing a folder tree for a run: sorted order, the default names,
// include and exclude patterns, links to files and to folders.
#include "folder_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "linux_test_files.h"

namespace quillmere {
namespace {

class FolderTreeTest : public ::testing::Test {
 protected:
  FolderTreeTest() {
    for (const char* file : {"b.html", "a.htm", "A.TXT", "notes.md", "sub/z.html", "sub/deep/x.txt",
                             "drafts/d.html", "x.html/inner.htm"}) {
      const std::string path = root / file;
      for (std::size_t slash = path.find('/', root.path().size() + 1); slash != std::string::npos;
           slash = path.find('/', slash + 1)) {
        if (::access(path.substr(0, slash).c_str(), F_OK) != 0)
          test::MakeFolder(path.substr(0, slash));
      }
      test::WriteFile(path, "x");
    }
    Link("sub", "linkdir");
    Link(".", "loop");
    Link("b.html", "linkfile.html");
    Link("nowhere", "dangling.html");
  }

  void Link(const char* target, const char* name) {
    ASSERT_EQ(::symlink(target, (root / name).c_str()), 0);
  }

  // The files listed, relative to the root, and the errors.
  std::vector<std::string> List(const TreeFilter& filter, const std::string& given) {
    std::vector<RunItem> items;
    ListTree(given, filter, items);
    std::vector<std::string> listed;
    for (const RunItem& item : items) {
      EXPECT_EQ(item.path.rfind(root.path() + "/", 0), 0u) << item.path;
      listed.push_back(item.path.substr(root.path().size() + 1) + (item.error ? " !" : ""));
    }
    return listed;
  }

  test::TempFolder root;
};

TreeFilter Filter(std::vector<const char*> include, std::vector<const char*> exclude,
                  bool follow = false) {
  TreeFilter filter;
  for (const char* glob : include) filter.include.emplace_back(glob, false);
  for (const char* glob : exclude) filter.exclude.emplace_back(glob, false);
  filter.followLinks = follow;
  return filter;
}

TEST_F(FolderTreeTest, ListsTheTakenFilesInSortedOrder) {
  using Names = std::vector<std::string>;
  const Names byDefault = {"A.TXT",          "a.htm",         "b.html",
                           "dangling.html",  "drafts/d.html", "linkfile.html",
                           "sub/deep/x.txt", "sub/z.html",    "x.html/inner.htm"};
  EXPECT_EQ(List({}, root.path()), byDefault);
  EXPECT_EQ(List({}, root.path() + "/"), byDefault);  // no doubled separator

  EXPECT_EQ(List(Filter({"*.html"}, {"drafts"}), root.path()),
            (Names{"b.html", "dangling.html", "linkfile.html", "sub/z.html"}));
  EXPECT_EQ(List(Filter({"sub/**"}, {}), root.path()), (Names{"sub/deep/x.txt", "sub/z.html"}));
  EXPECT_EQ(List(Filter({"**/*.txt", "*.TXT"}, {"deep"}), root.path()), (Names{"A.TXT"}));
  EXPECT_EQ(List(Filter({}, {"*.htm*", "sub/deep"}), root.path()), (Names{"A.TXT"}));
}

TEST_F(FolderTreeTest, LinksToFoldersAreEnteredOnlyWhenFollowedAndNeverInALoop) {
  const std::vector<std::string> followed =
      List(Filter({"*.html", "*.txt"}, {"drafts", "x.html"}, true), root.path());
  EXPECT_EQ(followed, (std::vector<std::string>{"b.html", "dangling.html", "linkdir/deep/x.txt",
                                                "linkdir/z.html", "linkfile.html", "sub/deep/x.txt",
                                                "sub/z.html"}));
}

}  // namespace
}  // namespace quillmere
