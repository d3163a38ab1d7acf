// Walking a folder tree on the system the tests run on: a folder past the
// old path limits is walked like any other, and one the system cannot read
// is told with its reason while the folders beside it are still walked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folder_tree.h"
#include "test_files.h"

namespace quillmere {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The paths listed under the root, relative to it, an error marked with " !".
std::vector<std::string> Walked(const test::TempFolder& root) {
  std::vector<RunItem> items;
  ListTree(root.path(), TreeFilter{}, items);
  std::vector<std::string> walked;
  for (const RunItem& item : items) {
    walked.push_back(item.path.substr(root.path().size() + 1) + (item.error ? " !" : ""));
  }
  return walked;
}

// Makes the folders on the way to `relative` (separated by '/') under the
// root and writes the file at its end; returns its path as listed.
std::string MakeFile(const test::TempFolder& root, const std::string& relative) {
  std::string path = root.path();
  std::string shown;
  for (std::size_t start = 0;;) {
    const std::size_t slash = relative.find('/', start);
    const std::string name = relative.substr(start, slash - start);
    path += kSeparator + name;
    shown += shown.empty() ? name : kSeparator + name;
    if (slash == std::string::npos) break;
    test::MakeFolder(path);
    start = slash + 1;
  }
  test::WriteFile(path, "x");
  return shown;
}

TEST(TreeWalkTest, AFolderPastThreeHundredCharactersAndItsSiblingsAreWalkedWhole) {
  test::TempFolder root;
  const std::string deep = std::string(120, 'd') + '/' + std::string(120, 'e') + '/' +
                           std::string(90, 'f') + "/page.htm";
  std::vector<std::string> expected;
  for (const std::string& file :
       {std::string("a.htm"), deep, std::string("old/o.htm"), std::string("sub/s.txt"),
        std::string("\xcf\x89\xce\xbc/g.html")}) {
    expected.push_back(MakeFile(root, file));
  }
  EXPECT_EQ(Walked(root), expected);
}

TEST(TreeWalkTest, AFolderTooDeepForTheSystemIsToldAndItsSiblingsAreStillWalked) {
  test::TempFolder root;
  MakeFile(root, "a.htm");
  if (!test::MakeTooDeepFolder(root / "b")) GTEST_SKIP() << "no folder too deep to reach here";
  MakeFile(root, "c/c.htm");
  std::vector<RunItem> items;
  ListTree(root.path(), TreeFilter{}, items);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].path, root / "a.htm");
  ASSERT_TRUE(items[1].error.has_value());
  EXPECT_EQ(items[1].path.rfind(root / "b/", 0), 0u);
  EXPECT_EQ(ReasonText(*items[1].error), "system error: the path is too long for the system");
  EXPECT_EQ(items[2].path, root / "c/c.htm");
}

}  // namespace
}  // namespace quillmere
