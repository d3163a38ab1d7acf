// The batch job on real files in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "batch_job.h"
#include "linux_test_files.h"
#include "safe_file_store.h"
#include "system_files.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::StatOf;
using test::WriteFile;

// Keeps each failure as "PATH: reason".
class FailureList : public BatchObserver {
 public:
  bool StopRequested() override { return false; }
  void FileStarted(int, const std::string&, int) override {}
  void DrainEvents() override {}
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage, const std::string& path, const FileError& error) override {
    failures.push_back(path + ": " + ReasonText(error));
  }
  void RunEnded(const RunCounters&, bool) override {}

  std::vector<std::string> failures;
};

class BatchJobFilesTest : public ::testing::Test {
 protected:
  BatchJobFilesTest() {
    options.removeTextEnabled = true;
    options.removeText = "X";
  }

  RunCounters RunOver(const std::vector<std::string>& paths) { return job.Run(paths, options); }

  test::TempFolder folder;
  test::TempFolder state;
  SafeFileStore store{MakeSystemFileSystem(state.path())};
  FailureList observer;
  CleaningOptions options;
  BatchJob job{store, observer};
};

TEST_F(BatchJobFilesTest, AnUnchangedFileIsNotOpenedForWriting) {
  const std::string path = folder / "same.htm";
  WriteFile(path, "nothing to remove");
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  const struct stat before = StatOf(path);

  EXPECT_EQ(RunOver({path}), (RunCounters{1, 0, 0, 0}));
  const struct stat after = StatOf(path);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
}

TEST_F(BatchJobFilesTest, FilesThatCannotBeHandledAreReportedAndLeftAsTheyWere) {
  const std::string wide = folder / "wide.txt";
  const std::string utf16("X\0X\0", 4);
  WriteFile(wide, utf16);
  const std::string readOnly = folder / "ro.htm";
  WriteFile(readOnly, "aXb");
  test::MakeReadOnly(readOnly);
  const std::string good = folder / "good.htm";
  WriteFile(good, "aXb");

  EXPECT_EQ(RunOver({folder.path(), folder / "missing", wide, readOnly, good}),
            (RunCounters{5, 1, 4, 0}));
  EXPECT_EQ(observer.failures,
            (std::vector<std::string>{folder.path() + ": not a regular file (folder)",
                                      folder / "missing" + ": not found",
                                      wide + ": holds a NUL byte (binary data)",
                                      readOnly + ": read-only (no write bit)"}));
  EXPECT_EQ(ReadFile(wide), utf16);
  EXPECT_EQ(ReadFile(readOnly), "aXb");
  EXPECT_EQ(ReadFile(good), "ab");
}

TEST_F(BatchJobFilesTest, AFileIsCleanedOnceHoweverManyNamesTheListGivesIt) {
  const std::string path = folder / "x";
  WriteFile(path, "a");
  ASSERT_EQ(::symlink("x", (folder / "link-to-x").c_str()), 0);
  test::MakeHardLink(path, folder / "hardlink-to-x");
  test::MakeFolder(folder / "a");
  options = {};
  options.searchEnabled = true;
  options.searchText = "a";
  options.replaceText = "AA";  // would compound to 32 A's
  EXPECT_EQ(RunOver({path, folder.path() + "/./x", folder / "link-to-x", folder / "hardlink-to-x",
                     folder / "a/../x"}),
            (RunCounters{5, 1, 0, 0}));
  EXPECT_EQ(ReadFile(path), "AA");
}

}  // namespace
}  // namespace quillmere
