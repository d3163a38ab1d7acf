#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "faulty_syscalls.h"
#include "posix_file_store.h"
#include "temp_folder.h"

namespace quillmere {
namespace {

using test::FaultySyscalls;
using test::ReadFile;
using test::StatOf;
using test::WriteFile;
using ::testing::ElementsAre;
using Call = FaultySyscalls::Call;

const std::string kOld = "old content that must survive";
const std::string kNew(64 * 1024, 'n');

class PosixFaultTest : public ::testing::Test {
 protected:
  std::string Loaded(const std::string& name) {
    const std::string path = folder / name;
    WriteFile(path, kOld);
    EXPECT_EQ(store.Load(path).status, LoadStatus::kOk);
    return path;
  }

  test::TempFolder folder;
  FaultySyscalls sys;
  PosixFileStore store{sys};
};

struct Fault {
  Call call;
  int nth;
  int error;
};

std::string FaultName(const ::testing::TestParamInfo<Fault>& info) {
  constexpr const char* kNames[] = {"Open",   "Read",      "Write",  "Pwrite", "Fsync",
                                    "Fchmod", "Fallocate", "Rename", "Close"};
  return kNames[static_cast<int>(info.param.call)] + std::to_string(info.param.nth) + "Errno" +
         std::to_string(info.param.error);
}

class PosixReplaceFaultTest : public PosixFaultTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(PosixReplaceFaultTest, AFailedSaveLeavesTheFileAsItWasAndNoTemporaryFile) {
  const std::string path = Loaded("doc.htm");
  sys.dribble = GetParam().call == Call::kWrite;  // fail after some bytes went through
  sys.FailOn(GetParam().call, GetParam().nth, GetParam().error);
  EXPECT_FALSE(store.Save(path, kNew));
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_THAT(folder.Names(), ElementsAre("doc.htm"));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, PosixReplaceFaultTest,
                         ::testing::Values(Fault{Call::kOpen, 2, ENOSPC},
                                           Fault{Call::kWrite, 7, ENOSPC},
                                           Fault{Call::kWrite, 9, EIO},
                                           Fault{Call::kFchmod, 1, EPERM},
                                           Fault{Call::kFsync, 1, EIO}, Fault{Call::kClose, 1, EIO},
                                           Fault{Call::kRename, 1, EXDEV}),
                         FaultName);

TEST_F(PosixFaultTest, InterruptedAndPartialTransfersStillMoveEveryByte) {
  const std::string path = folder / "slow";
  WriteFile(path, kOld);
  sys.dribble = true;
  const LoadedFile loaded = store.Load(path);
  EXPECT_EQ(loaded.text, kOld);
  EXPECT_TRUE(store.Save(path, kNew));
  EXPECT_EQ(ReadFile(path), kNew);
}

TEST_F(PosixFaultTest, EachFileIsSyncedBeforeItsRenameAndTheFolderOnceAtFlush) {
  const std::string a = Loaded("a");
  EXPECT_TRUE(store.Save(a, kNew));
  const std::string b = Loaded("b");
  EXPECT_TRUE(store.Save(b, kNew));
  EXPECT_EQ(sys.Uses(Call::kFsync), 2);
  store.Flush();
  EXPECT_EQ(sys.Uses(Call::kFsync), 3);
  store.Flush();
  EXPECT_EQ(sys.Uses(Call::kFsync), 3);
}

TEST_F(PosixFaultTest, ReadErrorsAndEarlyEndsFailTheLoad) {
  const std::string path = folder / "doc";
  WriteFile(path, kOld);
  sys.FailOn(Call::kRead, 1, EIO);
  EXPECT_EQ(store.Load(path).status, LoadStatus::kFailed);
  sys.FailOn(Call::kRead, 1, 0);
  EXPECT_EQ(store.Load(path).status, LoadStatus::kFailed);
}

TEST_F(PosixFaultTest, AFolderThatTakesNoNewFileGetsTheTextInPlace) {
  const std::string path = Loaded("doc");
  const ino_t inode = StatOf(path).st_ino;
  sys.FailOn(Call::kOpen, 2, EACCES);
  EXPECT_TRUE(store.Save(path, kNew));
  EXPECT_EQ(ReadFile(path), kNew);
  EXPECT_EQ(StatOf(path).st_ino, inode);
}

class PosixInPlaceFaultTest : public PosixReplaceFaultTest {};

TEST_P(PosixInPlaceFaultTest, AFailedOverwriteOfAHardLinkedFilePutsTheOldContentBack) {
  const std::string path = Loaded("one");
  ASSERT_EQ(::link(path.c_str(), (folder / "two").c_str()), 0);
  ASSERT_EQ(store.Load(path).status, LoadStatus::kOk);
  sys.dribble = GetParam().call == Call::kPwrite;
  sys.FailOn(GetParam().call, GetParam().nth, GetParam().error);
  EXPECT_FALSE(store.Save(path, kNew));
  EXPECT_EQ(ReadFile(folder / "two"), kOld);
  EXPECT_THAT(folder.Names(), ElementsAre("one", "two"));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, PosixInPlaceFaultTest,
                         ::testing::Values(Fault{Call::kFallocate, 1, ENOSPC},
                                           Fault{Call::kPwrite, 5, EIO},
                                           Fault{Call::kFsync, 1, EIO}),
                         FaultName);

TEST(PosixFileSizeLimitTest, AWriteBeyondTheFileSizeLimitLeavesTheOriginal) {
  test::TempFolder folder;
  const std::string path = folder / "doc";
  WriteFile(path, kOld);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    PosixFileStore store;
    const bool loaded = store.Load(path).status == LoadStatus::kOk;
    const bool saved = store.Save(path, kNew);
    ::_exit(loaded && !saved ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
}

}  // namespace
}  // namespace quillmere
