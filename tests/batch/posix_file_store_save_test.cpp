#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "posix_file_store.h"
#include "temp_folder.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::StatOf;
using test::WriteFile;
using ::testing::ElementsAre;

class PosixSaveTest : public ::testing::Test {
 protected:
  // Writes the file and loads it, as a run does before saving.
  std::string Loaded(const std::string& name, const std::string& content) {
    const std::string path = folder / name;
    WriteFile(path, content);
    EXPECT_EQ(store.Load(path).status, LoadStatus::kOk);
    return path;
  }

  test::TempFolder folder;
  PosixFileStore store;
};

TEST_F(PosixSaveTest, ReplacesTheContentAndLeavesNoOtherFile) {
  const std::string path = Loaded("a.htm", std::string(100000, 'o'));
  EXPECT_TRUE(store.Save(path, "short"));
  EXPECT_EQ(ReadFile(path), "short");
  EXPECT_THAT(folder.Names(), ElementsAre("a.htm"));
}

TEST_F(PosixSaveTest, KeepsEveryPermissionBitAndTheOwner) {
  const std::string path = Loaded("tool", "old");
  ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0) << "the tests run as root";
  ASSERT_EQ(::chmod(path.c_str(), 06751), 0);
  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  EXPECT_TRUE(store.Save(path, "new"));
  const struct stat status = StatOf(path);
  EXPECT_EQ(status.st_mode & 07777, 06751u);
  EXPECT_EQ(status.st_uid, 1234u);
  EXPECT_EQ(status.st_gid, 5678u);
}

TEST_F(PosixSaveTest, ASymbolicLinkStaysALinkAndItsTargetGetsTheText) {
  const std::string target = Loaded("target.htm", "old");
  const std::string link = folder / "link.htm";
  ASSERT_EQ(::symlink("target.htm", link.c_str()), 0);
  ASSERT_EQ(store.Load(link).status, LoadStatus::kOk);
  EXPECT_TRUE(store.Save(link, "new"));
  EXPECT_TRUE(S_ISLNK(test::LstatOf(link).st_mode));
  EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(PosixSaveTest, AHardLinkedFileKeepsSharingItsContent) {
  const std::string path = Loaded("one", "old content, longer");
  const std::string other = folder / "two";
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  const ino_t inode = StatOf(path).st_ino;

  EXPECT_TRUE(store.Save(path, "new"));
  EXPECT_EQ(ReadFile(other), "new");
  EXPECT_EQ(StatOf(path).st_ino, inode);
  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  EXPECT_TRUE(store.Save(path, "grown beyond the old content"));
  EXPECT_EQ(ReadFile(other), "grown beyond the old content");
  EXPECT_THAT(folder.Names(), ElementsAre("one", "two"));
}

TEST_F(PosixSaveTest, AFileNobodyMayWriteIsRefusedEvenForRoot) {
  const std::string path = Loaded("ro", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  EXPECT_FALSE(store.Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_THAT(folder.Names(), ElementsAre("ro"));
}

TEST_F(PosixSaveTest, AFileThatVanishedIsNotCreatedAgain) {
  const std::string path = Loaded("gone", "old");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_FALSE(store.Save(path, "new"));
  EXPECT_THAT(folder.Names(), ::testing::IsEmpty());

  const std::string dangling = folder / "dangling";
  ASSERT_EQ(::symlink("nowhere", dangling.c_str()), 0);
  EXPECT_FALSE(store.Save(dangling, "new"));
  EXPECT_THAT(folder.Names(), ElementsAre("dangling"));
}

TEST_F(PosixSaveTest, AFileReplacedOrChangedSinceTheLoadIsLeftAlone) {
  const std::string path = Loaded("doc", "old");
  WriteFile(folder / "other", "someone else's");
  ASSERT_EQ(::rename((folder / "other").c_str(), path.c_str()), 0);
  EXPECT_FALSE(store.Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "someone else's");

  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  WriteFile(path, "edited meanwhile");
  EXPECT_FALSE(store.Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "edited meanwhile");
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
}

TEST_F(PosixSaveTest, AFileLockedByAnotherOpenerIsNotWritten) {
  const std::string path = Loaded("held", "old");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_FALSE(store.Save(path, "new"));
  ::close(holder);
  EXPECT_EQ(ReadFile(path), "old");
}

TEST_F(PosixSaveTest, AFolderOrDeviceIsNeverWritten) {
  ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0700), 0);
  EXPECT_FALSE(store.Save(folder / "sub", "new"));
  EXPECT_FALSE(store.Save("/dev/null", "new"));
}

}  // namespace
}  // namespace quillmere
