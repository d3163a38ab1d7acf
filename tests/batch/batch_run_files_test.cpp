#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "batch_run.h"
#include "fake_platform.h"
#include "posix_test_files.h"
#include "safe_file_store.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::StatOf;
using test::WriteFile;

// Runs over real files in a temporary folder, removing every "X".
class BatchRunFilesTest : public ::testing::Test {
 protected:
  BatchRunFilesTest() {
    platform.controls.options.removeTextEnabled = 1;
    platform.controls.options.removeText = "X";
  }

  void RunOver(const std::vector<std::string>& paths) {
    platform.list.assign(paths.begin(), paths.end());
    run.OnStart();
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : platform.messages) texts.push_back(message.text);
    return texts;
  }

  test::TempFolder folder;
  test::FakePlatform platform;
  WindowFields fields;
  test::TempFolder state;
  SafeFileStore store{MakeSystemFileSystem(state.path())};
  BatchRun run{platform, fields, store};
};

TEST_F(BatchRunFilesTest, AnUnchangedFileIsNotOpenedForWriting) {
  const std::string path = folder / "same.htm";
  WriteFile(path, "nothing to remove");
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  const struct stat before = StatOf(path);

  RunOver({path});
  const struct stat after = StatOf(path);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 1, Replaced files : 0, Errors : 0");
}

TEST_F(BatchRunFilesTest, FilesThatCannotBeHandledAreReportedAndLeftAsTheyWere) {
  const std::string wide = folder / "wide.txt";
  const std::string utf16("X\0X\0", 4);
  WriteFile(wide, utf16);
  const std::string readOnly = folder / "ro.htm";
  WriteFile(readOnly, "aXb");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const std::string good = folder / "good.htm";
  WriteFile(good, "aXb");

  RunOver({folder.path(), folder / "missing", wide, readOnly, good});
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{"File open error: " + folder.path(),
                                      "File open error: " + folder / "missing",
                                      "File open error: " + wide, "File save error: " + readOnly}));
  std::vector<std::string> reasons;
  for (const auto& message : platform.messages) reasons.push_back(message.details);
  EXPECT_EQ(reasons, (std::vector<std::string>{"not a regular file (folder)", "not found",
                                               "holds a NUL byte (binary or UTF-16 text)",
                                               "read-only (no write bit)"}));
  EXPECT_EQ(ReadFile(wide), utf16);
  EXPECT_EQ(ReadFile(readOnly), "aXb");
  EXPECT_EQ(ReadFile(good), "ab");
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 5, Replaced files : 1, Errors : 4");
}

TEST_F(BatchRunFilesTest, AFileIsCleanedOnceHoweverManyNamesTheListGivesIt) {
  const std::string path = folder / "x";
  WriteFile(path, "a");
  ASSERT_EQ(::symlink("x", (folder / "link-to-x").c_str()), 0);
  test::MakeHardLink(path, folder / "hardlink-to-x");
  test::MakeFolder(folder / "a");
  platform.controls.options = {};
  platform.controls.options.searchEnabled = 1;
  platform.controls.options.searchText = "a";
  platform.controls.options.replaceText = "AA";  // would compound to 32 A's
  RunOver({path, folder.path() + "/./x", folder / "link-to-x", folder / "hardlink-to-x",
           folder / "a/../x"});
  EXPECT_EQ(ReadFile(path), "AA");
  EXPECT_EQ(platform.controls.statusText, "OK. Files : 5, Replaced files : 1, Errors : 0");
}

}  // namespace
}  // namespace quillmere
