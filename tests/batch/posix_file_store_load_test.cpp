#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "posix_file_store.h"
#include "temp_folder.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::WriteFile;

class PosixLoadTest : public ::testing::Test {
 protected:
  bool Fails(const std::string& path) { return store.Load(path).status == LoadStatus::kFailed; }

  test::TempFolder folder;
  PosixFileStore store;
};

TEST_F(PosixLoadTest, ReadsTheWholeFileThroughALink) {
  const std::string text = "<p>caf\xE9</p>\r\n" + std::string(200000, 'z');
  WriteFile(folder / "a.htm", text);
  ASSERT_EQ(::symlink("a.htm", (folder / "link.htm").c_str()), 0);
  for (const char* name : {"a.htm", "link.htm"}) {
    const LoadedFile loaded = store.Load(folder / name);
    EXPECT_EQ(loaded.status, LoadStatus::kOk);
    EXPECT_EQ(loaded.text, text);
  }
}

TEST_F(PosixLoadTest, AnEmptyFileIsAnEmptyText) {
  WriteFile(folder / "empty", "");
  const LoadedFile loaded = store.Load(folder / "empty");
  EXPECT_EQ(loaded.status, LoadStatus::kOk);
  EXPECT_EQ(loaded.text, "");
}

TEST_F(PosixLoadTest, OnlyRegularFilesAreReadAndNothingBlocks) {
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0700), 0);
  EXPECT_TRUE(Fails(folder / "fifo"));  // a blocking open would hang here
  EXPECT_TRUE(Fails(folder / "sub"));
  EXPECT_TRUE(Fails("/dev/null"));
  EXPECT_TRUE(Fails(folder / "missing"));
  EXPECT_TRUE(Fails(""));
}

TEST_F(PosixLoadTest, ANulByteRefusesTheFile) {
  const std::string utf16("<\0p\0>\0", 6);
  WriteFile(folder / "wide.txt", utf16);
  EXPECT_TRUE(Fails(folder / "wide.txt"));
  EXPECT_EQ(ReadFile(folder / "wide.txt"), utf16);
}

TEST_F(PosixLoadTest, AFileAboveTheLimitIsRefusedBeforeAnyAllocation) {
  const std::string path = folder / "sparse";
  WriteFile(path, "");
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxLoadSize) + 1), 0);
  EXPECT_TRUE(Fails(path));
}

TEST_F(PosixLoadTest, AFileLockedByAnotherOpenerIsRefused) {
  const std::string path = folder / "held";
  WriteFile(path, "text");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(Fails(path));
  ::close(holder);
  EXPECT_FALSE(Fails(path));
}

}  // namespace
}  // namespace quillmere
