// Recovery copies and rewrites in place among other users and programs:
// whose copies are used, and what another program's change during a save
// becomes. The tests run as root, so that they can act as other users.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "faulty_file_system.h"
#include "interrupted_rewrite.h"
#include "linux_test_files.h"
#include "param_name.h"
#include "recovery_copy.h"
#include "safe_file_store.h"
#include "store_fixture.h"
#include "system_files.h"

namespace quillmere {
namespace {

using test::PrintTo;
using test::ReadFile;
using test::StatOf;
using test::WriteFile;
using ::testing::IsEmpty;

constexpr uid_t kAttacker = 12345;
constexpr uid_t kOwner = 23456;
const std::string kPage = "<p>B's page, in colour</p>\n";
const std::string kPlanted = "A's text\n";

void Own(const std::string& path, uid_t user, mode_t mode) {
  ASSERT_EQ(::lchown(path.c_str(), user, user), 0) << path;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// Someone's copy for the file, in the form a killed run leaves, claiming
// that the file's text is what a rewrite was writing over `kPlanted`.
std::string PlantedCopy(const FileKey& key, const std::string& path) {
  return RecoveryCopyHeader(key, kPlanted, kPage, path) + kPlanted;
}

struct TrustCase {
  const char* name;
  mode_t folderMode;
  // Where the copy goes: beside the file, or in the private folder under
  // the file's key.
  bool inStateFolder;
  uid_t copyOwner;
  mode_t copyMode;
  bool fifo;
  uid_t stateOwner;  // the private folder's owner
  bool trusted;
};

class RecoveryTrustTest : public test::StoreFixture,
                          public ::testing::WithParamInterface<TrustCase> {};

// B's file in a shared folder; a copy under its name that would put another
// text in it, if it were used.
TEST_P(RecoveryTrustTest, OnlyACopyOfTheUserTheAdministratorOrTheFilesOwnerIsUsed) {
  const TrustCase& c = GetParam();
  const std::string path = folder / "index.html";
  WriteFile(path, kPage);
  Own(path, kOwner, 0644);
  Own(folder.path(), 0, c.folderMode);
  Own(state.path(), c.stateOwner, 0700);
  const FileKey key = *store.KeyOf(path);
  const std::string copy =
      c.inStateFolder ? state / RecoveryCopyName(key) : folder / RecoveryCopyName("index.html");
  if (c.fifo) {
    ASSERT_EQ(::mkfifo(copy.c_str(), 0600), 0);
  } else {
    WriteFile(copy, PlantedCopy(key, path));
  }
  Own(copy, c.copyOwner, c.copyMode);

  const LoadedFile loaded = store.Load(path);
  ASSERT_TRUE(loaded.ok()) << *loaded.error;
  if (c.trusted) {
    EXPECT_TRUE(loaded.restored);
    EXPECT_EQ(loaded.text, kPlanted);
    return;
  }
  EXPECT_FALSE(loaded.restored);
  EXPECT_EQ(loaded.text, kPage);
  ASSERT_EQ(loaded.notes.size(), 1u);
  EXPECT_EQ(loaded.notes[0].kind, FileNote::Kind::kIgnoredCopy);
  EXPECT_EQ(loaded.notes[0].text, copy);
  // It never keeps the file from being cleaned, and stays where it is.
  EXPECT_EQ(store.Save(path, "cleaned"), std::nullopt);
  EXPECT_EQ(ReadFile(path), "cleaned");
  EXPECT_EQ(::access(copy.c_str(), F_OK), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOwner, RecoveryTrustTest,
    ::testing::Values(
        TrustCase{"TheFileOwnersCopy", 01777, false, kOwner, 0600, false, 0, true},
        TrustCase{"AnotherUsersCopyInAStickyFolder", 01777, false, kAttacker, 0600, false, 0,
                  false},
        TrustCase{"ACopyOthersMayWrite", 01777, false, kOwner, 0666, false, 0, false},
        TrustCase{"AnotherUsersFifo", 01777, false, kAttacker, 0600, true, 0, false},
        TrustCase{"AnotherUsersUnreadableCopy", 01777, false, kAttacker, 0000, false, 0, false},
        TrustCase{"OwnCopyWhereOthersMayRenameIt", 0777, false, 0, 0600, false, 0, false},
        TrustCase{"ACopyInTheOwnStateFolder", 0755, true, 0, 0600, false, 0, true},
        TrustCase{"ACopyInAnotherUsersStateFolder", 0755, true, 0, 0600, false, kAttacker, false}),
    test::ByName());

class RecoveryStoreTest : public test::StoreFixture {};

TEST_F(RecoveryStoreTest, AnAdministratorsCopyBesideAUsersFileIsThatUsersToRestore) {
  Own(folder.path(), kOwner, 0755);
  const std::string path = folder / "page.htm";
  const std::string old(9000, 'o');
  WriteFile(path, old);
  test::MakeHardLink(path, folder / "other-name.htm");
  Own(path, kOwner, 0644);
  test::LeaveInterruptedRewrite(path, state.path(), std::string(5000, 'n'));
  const std::string copy = folder / RecoveryCopyName("page.htm");
  EXPECT_EQ(StatOf(copy).st_uid, kOwner);
  test::TempFolder ownersState;
  Own(ownersState.path(), kOwner, 0700);
  EXPECT_EQ(test::AsUser(kOwner, kOwner,
                         [&] {
                           SafeFileStore own{MakeSystemFileSystem(ownersState.path())};
                           const LoadedFile loaded = own.Load(path);
                           return loaded.restored && loaded.text == old;
                         }),
            0);
  EXPECT_EQ(ReadFile(path), old);
}

using Op = test::FaultyFileSystem::Op;

struct MeanwhileCase {
  const char* name;
  // Another program appends a line just before this is first done to this file.
  Op before;
  const char* on;
  FileProblem problem;
  bool copyLeft;
};

class InPlaceMeanwhileTest : public ::testing::TestWithParam<MeanwhileCase> {};

// A hard-linked file is rewritten in place; another program writes to it
// while the copy is made, or while the new text goes in.
TEST_P(InPlaceMeanwhileTest, AnotherProgramsChangeIsNeverOverwrittenNorReportedAsSuccess) {
  test::TempFolder folder;
  test::TempFolder state;
  const std::string path = folder / "big.txt";
  const std::string old(20000, 'o');
  WriteFile(path, old);
  test::MakeHardLink(path, folder / "link.txt");
  auto* faults = new test::FaultyFileSystem(MakeSystemFileSystem(state.path()));
  SafeFileStore store{std::unique_ptr<FileSystem>(faults)};
  ASSERT_TRUE(store.Load(path).ok());
  faults->BeforeOn(GetParam().before, GetParam().on,
                   [&] { WriteFile(path, ReadFile(path) + "line\n"); });
  EXPECT_EQ(store.Save(path, std::string(12000, 'n')), FileError{GetParam().problem});
  EXPECT_TRUE(ReadFile(path).ends_with("line\n"));
  const bool copyLeft = folder.Names().size() > 2;
  EXPECT_EQ(copyLeft, GetParam().copyLeft);
  if (!GetParam().copyLeft) {
    EXPECT_EQ(ReadFile(path), old + "line\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryMoment, InPlaceMeanwhileTest,
    ::testing::Values(MeanwhileCase{"WhileTheCopyIsMade", Op::kSync, ".big.txt.quillmere-recovery",
                                    FileProblem::kChanged, false},
                      MeanwhileCase{"DuringTheRewrite", Op::kWriteAt, "big.txt",
                                    FileProblem::kChangedDuringSave, true}),
    test::ByName());

// Another run renames its new text over the file just after this save
// opened it: what this save holds open is then a file with no name.
TEST(SaveRaceTest, AFileReplacedJustAfterTheSaveOpenedItIsNotWrittenBehindItsName) {
  test::TempFolder folder;
  test::TempFolder state;
  const std::string path = folder / "page.htm";
  WriteFile(path, "old");
  auto* faults = new test::FaultyFileSystem(MakeSystemFileSystem(state.path()));
  SafeFileStore store{std::unique_ptr<FileSystem>(faults)};
  ASSERT_TRUE(store.Load(path).ok());
  faults->Before(Op::kInfo, 1, [&] {
    WriteFile(folder / "other", "another run's text");
    test::MoveOver(folder / "other", path);
  });
  EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kChanged});
  EXPECT_EQ(ReadFile(path), "another run's text");
  EXPECT_THAT(folder.Names(), ::testing::ElementsAre("page.htm"));
}

TEST_F(RecoveryStoreTest, AChangeOfMetadataAloneIsNoChange) {
  // As an overlay file system's copy-up on the first open for writing: the
  // change time moves, the content stays.
  const std::string path = Loaded("doc.htm", "old");
  const timespec before = StatOf(path).st_ctim;
  do {
    ASSERT_EQ(::chmod(path.c_str(), StatOf(path).st_mode & 07777), 0);
  } while (StatOf(path).st_ctim.tv_nsec == before.tv_nsec &&
           StatOf(path).st_ctim.tv_sec == before.tv_sec);
  EXPECT_EQ(store.Save(path, "new"), std::nullopt);
  EXPECT_EQ(ReadFile(path), "new");
}

}  // namespace
}  // namespace quillmere
