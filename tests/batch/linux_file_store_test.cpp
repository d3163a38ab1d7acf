// What only the Linux store does: owners, modes, access lists, extended
// attributes, links and their owners, interrupted transfers. The tests run
// as root, so that they can act as other users.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "faulty_syscalls.h"
#include "linux_errors.h"
#include "linux_file_system.h"
#include "linux_test_files.h"
#include "param_name.h"
#include "safe_file_store.h"
#include "store_fixture.h"
#include "system_files.h"

namespace quillmere {
namespace {

using on_linux::ErrorFromErrno;
using test::LstatOf;
using test::PrintTo;
using test::ReadFile;
using test::StatOf;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uid_t kUser = 12345;
constexpr uid_t kOtherUser = 23456;

// An access list as the system stores it in system.posix_acl_*.
std::string AccessList(const std::vector<std::array<std::uint32_t, 3>>& entries) {
  std::string bytes;
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(2, 4);  // version
  for (const auto& [tag, permissions, id] : entries) {
    put(tag, 2);
    put(permissions, 2);
    put(id, 4);
  }
  return bytes;
}

// Owner rw, user 12345 rw, group r, mask rw, others nothing.
const std::string kAccessList =
    AccessList({{0x01, 6, ~0u}, {0x02, 6, kUser}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}});

std::map<std::string, std::string> Attributes(const std::string& path) {
  std::map<std::string, std::string> attributes;
  std::string names(65536, '\0');
  const ssize_t size = ::listxattr(path.c_str(), names.data(), names.size());
  names.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
  for (std::size_t start = 0; start < names.size(); start = names.find('\0', start) + 1) {
    const std::string name = names.c_str() + start;
    std::string value(65536, '\0');
    const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
    value.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    attributes[name] = value;
  }
  return attributes;
}

void SetAttribute(const std::string& path, const std::string& name, const std::string& value) {
  ASSERT_EQ(::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << name;
}

// Runs `body` as user 12345, a member of group 23456.
int AsUser(const std::function<bool()>& body) {
  return test::AsUser(kUser, kOtherUser, body);
}

class LinuxStoreTest : public test::StoreFixture {
 protected:
  std::string Written(const std::string& name, const std::string& content = "old") {
    const std::string path = folder / name;
    WriteFile(path, content);
    return path;
  }
  MaybeError LoadAndSave(const std::string& path, const std::string& text = "new") {
    const LoadedFile loaded = store.Load(path);
    if (!loaded.ok()) return loaded.error;
    return store.Save(path, text);
  }
};

TEST_F(LinuxStoreTest, KeepsEveryPermissionBitTheOwnerAndTheGroup) {
  const std::string path = Written("tool");
  ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06751), 0);
  EXPECT_EQ(LoadAndSave(path), std::nullopt);
  const struct stat status = StatOf(path);
  EXPECT_EQ(status.st_mode & 07777, 06751u);
  EXPECT_EQ(status.st_uid, 1234u);
  EXPECT_EQ(status.st_gid, 5678u);
}

TEST_F(LinuxStoreTest, AccessListsAndExtendedAttributesStayExactlyAsTheyWere) {
  const std::string path = Written("doc.htm");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  SetAttribute(path, "system.posix_acl_access", kAccessList);
  SetAttribute(path, "user.note", "kept");
  SetAttribute(path, "trusted.origin", "kept too");
  SetAttribute(path, "security.label", "and this");
  const auto before = Attributes(path);
  const mode_t mode = StatOf(path).st_mode;
  EXPECT_EQ(LoadAndSave(path), std::nullopt);
  EXPECT_EQ(Attributes(path), before);
  EXPECT_EQ(StatOf(path).st_mode, mode);
  EXPECT_EQ(ReadFile(path), "new");
}

TEST_F(LinuxStoreTest, AFolderDefaultAccessListIsNotGivenToTheSavedFile) {
  const std::string path = Written("doc.htm");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  SetAttribute(
      folder.path(), "system.posix_acl_default",
      AccessList(
          {{0x01, 7, ~0u}, {0x02, 6, kUser}, {0x04, 5, ~0u}, {0x10, 7, ~0u}, {0x20, 0, ~0u}}));
  EXPECT_EQ(LoadAndSave(path), std::nullopt);
  EXPECT_THAT(Attributes(path), IsEmpty());
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
}

TEST_F(LinuxStoreTest, AnOrdinaryUserKeepsAnotherUsersGroupWritableFileTheirs) {
  ASSERT_EQ(::chmod(folder.path().c_str(), 0775), 0);
  ASSERT_EQ(::chown(folder.path().c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(::chown(state.path().c_str(), kUser, kUser), 0);
  const std::string path = Written("shared.htm");
  ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
  const ino_t inode = StatOf(path).st_ino;
  EXPECT_EQ(AsUser([&] {
              SafeFileStore own{MakeSystemFileSystem(state.path())};
              return own.Load(path).ok() && own.Save(path, "new") == std::nullopt;
            }),
            0);
  const struct stat after = StatOf(path);
  EXPECT_EQ(after.st_uid, kOtherUser);
  EXPECT_EQ(after.st_ino, inode);
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_THAT(folder.Names(), ElementsAre("shared.htm"));
}

TEST_F(LinuxStoreTest, ASymbolicLinkStaysALinkAndItsTargetGetsTheText) {
  const std::string target = Written("target.htm");
  const std::string link = folder / "link.htm";
  ASSERT_EQ(::symlink("target.htm", link.c_str()), 0);
  EXPECT_EQ(LoadAndSave(link), std::nullopt);
  EXPECT_TRUE(S_ISLNK(LstatOf(link).st_mode));
  EXPECT_EQ(ReadFile(target), "new");
}

struct LinkCase {
  const char* name;
  uid_t linkOwner;
  uid_t targetOwner;
  bool throughFolder;  // the link is a folder on the way, not the file
  bool followed;
};

class LinuxLinkRuleTest : public LinuxStoreTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinuxLinkRuleTest, ALinkIsFollowedOnlyWhenItsOwnerMayLeadThere) {
  const LinkCase& rule = GetParam();
  test::MakeFolder(folder / "real");
  const std::string target = Written("real/secret.conf", "root's own");
  ASSERT_EQ(::chown(target.c_str(), rule.targetOwner, rule.targetOwner), 0);
  ASSERT_EQ(::chown((folder / "real").c_str(), rule.targetOwner, rule.targetOwner), 0);
  const std::string link = folder / "zz";
  ASSERT_EQ(::symlink(rule.throughFolder ? "real" : "real/secret.conf", link.c_str()), 0);
  ASSERT_EQ(::lchown(link.c_str(), rule.linkOwner, rule.linkOwner), 0);
  const std::string path = rule.throughFolder ? link + "/secret.conf" : link;

  if (rule.followed) {
    EXPECT_EQ(LoadAndSave(path), std::nullopt);
    EXPECT_EQ(ReadFile(target), "new");
  } else {
    EXPECT_EQ(store.Load(path).error, FileError{FileProblem::kForeignLink});
    EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kForeignLink});
    EXPECT_EQ(ReadFile(target), "root's own");
  }
  EXPECT_TRUE(S_ISLNK(LstatOf(link).st_mode));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOwner, LinuxLinkRuleTest,
    ::testing::Values(LinkCase{"OtherUsersLinkToRootsFile", kUser, 0, false, false},
                      LinkCase{"OtherUsersFolderLinkToRootsFolder", kUser, 0, true, false},
                      LinkCase{"LinkOwnedByTheTargetsOwner", kUser, kUser, false, true},
                      LinkCase{"FolderLinkOwnedByTheTargetsOwner", kUser, kUser, true, true},
                      LinkCase{"OwnLinkToAnotherUsersFile", 0, kUser, false, true}),
    test::ByName());

TEST_F(LinuxStoreTest, ANameThatBecomesALinkAfterItWasLookedUpIsNotFollowed) {
  test::FaultySyscalls sys;
  SafeFileStore own{std::make_unique<LinuxFileSystem>(sys, "")};
  const std::string path = Written("doc.htm", "mine");
  const std::string secret = Written("secret.conf", "secret");
  bool swapped = false;
  sys.beforeOpen = [&](const char* name) {
    if (swapped || std::string(name) != "doc.htm") return;
    swapped = true;
    test::RemoveFile(path);
    ASSERT_EQ(::symlink(secret.c_str(), path.c_str()), 0);
  };
  EXPECT_EQ(own.Load(path).error, (FileError{FileProblem::kChanged, "it became a link"}));
  EXPECT_EQ(ReadFile(secret), "secret");
}

TEST_F(LinuxStoreTest, AChainOfLinksIsFollowedAsFarAsTheSystemFollowsOne) {
  const std::string target = Written("doc.htm", "old");
  for (const int links : {40, 41}) {
    std::string first = target;
    for (int i = 0; i < links; ++i) {
      const std::string link = folder / ("chain" + std::to_string(links) + "-" + std::to_string(i));
      ASSERT_EQ(::symlink(first.c_str(), link.c_str()), 0);
      first = link;
    }
    const LoadedFile loaded = store.Load(first);
    if (links == 40) {
      EXPECT_EQ(loaded.text, "old");
    } else {
      EXPECT_EQ(loaded.error, ErrorFromErrno(ELOOP));
    }
  }
}

TEST_F(LinuxStoreTest, DevicesAndFifosAreRefusedWithoutBlocking) {
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(store.Load(folder / "fifo").error, (FileError{FileProblem::kNotRegularFile, "FIFO"}));
  EXPECT_EQ(store.Load("/dev/null").error, (FileError{FileProblem::kNotRegularFile, "device"}));
  EXPECT_EQ(store.Save("/dev/null", "new"), (FileError{FileProblem::kNotRegularFile, "device"}));
}

TEST(LinuxTransferTest, InterruptedAndPartialTransfersStillMoveEveryByteAndSyncOnce) {
  test::TempFolder folder;
  test::FaultySyscalls sys;
  SafeFileStore store{std::make_unique<LinuxFileSystem>(sys, "")};
  const std::string old(5000, 'o');
  const std::string text(7000, 'n');
  for (const char* name : {"a", "b"}) {
    WriteFile(folder / name, old);
    sys.dribble = true;
    EXPECT_EQ(store.Load(folder / name).text, old);
    EXPECT_EQ(store.Save(folder / name, text), std::nullopt);
    sys.dribble = false;
    EXPECT_EQ(ReadFile(folder / name), text);
  }
  EXPECT_EQ(sys.syncs, 2);  // each new file before its rename
  store.Flush();
  EXPECT_EQ(sys.syncs, 3);  // and their folder once
}

TEST(LinuxTransferTest, ABatchIsFlushedTogetherRenamedAndItsFolderFlushedBeforeAnyIsDone) {
  test::TempFolder folder;
  test::FaultySyscalls sys;
  SafeFileStore store{std::make_unique<LinuxFileSystem>(sys, "")};
  std::vector<std::string> done;
  for (const char* name : {"a", "b", "c"}) {
    WriteFile(folder / name, "old");
    ASSERT_EQ(store.Load(folder / name).text, "old");
    store.SaveInBatch(folder / name, std::string("new ") + name,
                      [&done, name](std::optional<FileError> error) {
                        EXPECT_EQ(error, std::nullopt);
                        done.push_back(name);
                      });
  }
  // Held back: written beside the files, on their way to the disk, no more.
  EXPECT_TRUE(done.empty());
  EXPECT_EQ(ReadFile(folder / "a"), "old");
  EXPECT_EQ(sys.order, (std::vector<std::string>{"start", "start", "start"}));
  sys.order.clear();
  store.Commit();
  EXPECT_EQ(sys.order, (std::vector<std::string>{"sync", "sync", "sync", "rename", "rename",
                                                 "rename", "sync"}));
  EXPECT_EQ(done, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(ReadFile(folder / "c"), "new c");
  store.Flush();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a", "b", "c"}));
}

// A batch's old files are written again as the next batch's new contents,
// so a run makes no file per save; but not one that another program still
// holds open (it keeps its old text for it), nor one that others may read
// where the new file's readers may not.
TEST(LinuxTransferTest, OldFilesAreWrittenAgainOnlyWhereNobodyElseMayReadThem) {
  test::TempFolder folder;
  SafeFileStore store{MakeSystemFileSystem("")};
  const std::vector<std::string> names{"a", "b", "c", "d"};
  // A file's number and birth: a number freed this second may be given
  // to the next new file, its birth not.
  const auto identity = [&](const std::string& name) {
    struct statx status {};
    EXPECT_EQ(::statx(AT_FDCWD, (folder / name).c_str(), 0, STATX_INO | STATX_BTIME, &status), 0);
    return std::pair{status.stx_ino,
                     status.stx_btime.tv_sec * 1000000000LL + status.stx_btime.tv_nsec};
  };
  std::map<std::string, std::pair<std::uint64_t, long long>> first;
  for (const std::string& name : names) {
    WriteFile(folder / name, "first " + name);
    first[name] = identity(name);
  }
  if (::setxattr((folder / "b").c_str(), "user.mark", "x", 1, 0) != 0) {
    GTEST_SKIP() << "no extended attributes here";
  }
  const int holder = ::open((folder / "a").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  // The second round takes the old files in another order: a's is held, so
  // a takes d's; c its own; d is left b's, which carries what d does not.
  for (const auto& round : {names, std::vector<std::string>{"a", "c", "d", "b"}}) {
    for (const std::string& name : round) {
      ASSERT_TRUE(store.Load(folder / name).ok());
      store.SaveInBatch(folder / name, "new " + name,
                        [](std::optional<FileError> error) { EXPECT_EQ(error, std::nullopt); });
    }
    store.Commit();
  }
  std::map<std::string, std::pair<std::uint64_t, long long>> last;
  for (const std::string& name : names) {
    EXPECT_EQ(ReadFile(folder / name), "new " + name);
    last[name] = identity(name);
  }
  EXPECT_EQ(last["a"], first["d"]);
  EXPECT_EQ(last["c"], first["c"]);
  EXPECT_NE(last["d"], first["b"]);
  char held[16] = {};
  EXPECT_EQ(::pread(holder, held, sizeof held, 0), 7);
  EXPECT_STREQ(held, "first a");
  ::close(holder);
  char mark[4] = {};
  EXPECT_EQ(::getxattr((folder / "d").c_str(), "user.mark", mark, sizeof mark), -1);
  store.Flush();
  EXPECT_EQ(folder.Names(), names);
}

TEST(LinuxTransferTest, AFileChangedWhileItsSaveIsHeldBackIsNotReplaced) {
  test::TempFolder folder;
  SafeFileStore store{MakeSystemFileSystem("")};
  WriteFile(folder / "a", "old");
  ASSERT_EQ(store.Load(folder / "a").text, "old");
  std::optional<FileError> result;
  store.SaveInBatch(folder / "a", "new", [&result](std::optional<FileError> error) {
    result = error.value_or(FileError{FileProblem::kSystemError, "saved"});
  });
  WriteFile(folder / "a", "another program's");
  store.Commit();
  EXPECT_EQ(result, (FileError{FileProblem::kChanged, ""}));
  EXPECT_EQ(ReadFile(folder / "a"), "another program's");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a"});
}

TEST(LinuxFileSizeLimitTest, AWriteBeyondTheFileSizeLimitLeavesTheOriginal) {
  test::TempFolder folder;
  const std::string path = folder / "doc";
  WriteFile(path, "old");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    SafeFileStore store{MakeSystemFileSystem("")};
    const bool loaded = store.Load(path).ok();
    const MaybeError error = store.Save(path, std::string(8192, 'n'));
    ::_exit(loaded && error && error->detail == "File too large" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
}

}  // namespace
}  // namespace quillmere
