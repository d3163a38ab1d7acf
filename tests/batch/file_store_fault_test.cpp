// The saving policy under failures and crashes at every step, on real
// files: the same cases run natively and under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "faulty_file_system.h"
#include "param_name.h"
#include "safe_file_store.h"
#include "test_files.h"

namespace quillmere {
namespace {

using test::FaultyFileSystem;
using test::PrintTo;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Op = FaultyFileSystem::Op;

// Several pages each, so that a write that fails half-way changes some.
const std::string kOld = "<p>old content that must survive</p>\r\n" + std::string(10000, 'o');
const std::string kNew(15000, 'n');
const FileError kDiskFull{FileProblem::kDiskFull, ""};
const FileError kIoError{FileProblem::kSystemError, "Input/output error"};
const FileError kNoPermission{FileProblem::kNoPermission, ""};

enum class Shape { kSingleName, kHardLinked };

class FileStoreFaultTest : public ::testing::Test {
 protected:
  // The file "doc" (and its second name "link" when hard-linked), loaded.
  std::string Loaded(Shape shape) {
    const std::string path = folder / "doc";
    WriteFile(path, kOld);
    if (shape == Shape::kHardLinked) test::MakeHardLink(path, folder / "link");
    EXPECT_TRUE(store.Load(path).ok());
    return path;
  }
  std::vector<std::string> Originals(Shape shape) const {
    return shape == Shape::kHardLinked ? std::vector<std::string>{"doc", "link"}
                                       : std::vector<std::string>{"doc"};
  }

  test::TempFolder folder;
  test::TempFolder state;
  FaultyFileSystem* faults = new FaultyFileSystem(MakeSystemFileSystem(state.path()));
  SafeFileStore store{std::unique_ptr<FileSystem>(faults)};
};

struct Fault {
  const char* name;
  Shape shape;
  Op op;
  int nth;
  FileError error;
  int count = 1;
};

class FileStoreFailedSaveTest : public FileStoreFaultTest,
                                public ::testing::WithParamInterface<Fault> {};

TEST_P(FileStoreFailedSaveTest, LeavesTheFileAsItWasAndNothingElse) {
  const Fault& fault = GetParam();
  const std::string path = Loaded(fault.shape);
  faults->FailOn(fault.op, fault.nth, fault.error, fault.count);
  EXPECT_EQ(store.Save(path, kNew), fault.error);
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_EQ(folder.Names(), Originals(fault.shape));
  EXPECT_THAT(state.Names(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, FileStoreFailedSaveTest,
    ::testing::Values(
        Fault{"NewFileNotCreated", Shape::kSingleName, Op::kCreate, 1, kDiskFull},
        Fault{"NewFileHalfWritten", Shape::kSingleName, Op::kWriteAt, 1, kDiskFull},
        Fault{"NewFileNotFlushed", Shape::kSingleName, Op::kSync, 1, kIoError},
        Fault{"RenameRefused", Shape::kSingleName, Op::kRenameTo, 1, kIoError},
        Fault{"NoRoomForAnyRecoveryCopy", Shape::kHardLinked, Op::kCreate, 1, kDiskFull, 2},
        Fault{"RecoveryCopyHalfWritten", Shape::kHardLinked, Op::kWriteAt, 1, kDiskFull, 2},
        Fault{"ReservationGrewTheFileThenFailed", Shape::kHardLinked, Op::kReserve, 1, kDiskFull},
        // The copy and the pointer to it take two writes and a sync each.
        Fault{"InPlaceWriteHalfDone", Shape::kHardLinked, Op::kWriteAt, 5, kIoError},
        Fault{"InPlaceNotFlushed", Shape::kHardLinked, Op::kSync, 3, kIoError}),
    test::ByName());

TEST_F(FileStoreFaultTest, AFileEditedWhileTheNewOneWasWrittenIsNotReplaced) {
  const std::string path = Loaded(Shape::kSingleName);
  // Just before the last look at the file ahead of the rename.
  faults->Before(Op::kInfoOf, 1, [&] { test::RewriteKeepingTimes(path, "edited elsewhere"); });
  EXPECT_EQ(store.Save(path, kNew), FileError{FileProblem::kChanged});
  EXPECT_EQ(ReadFile(path), "edited elsewhere");
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
}

TEST_F(FileStoreFaultTest, ACopyOnWriteDiskWithoutRoomForTheNewTextIsFullBeforeAnyWrite) {
  const std::string path = Loaded(Shape::kHardLinked);
  faults->CopyOnWriteWithFreeSpace(kNew.size());
  EXPECT_EQ(store.Save(path, kNew), kDiskFull);
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_THAT(state.Names(), IsEmpty());
  EXPECT_EQ(folder.Names(), Originals(Shape::kHardLinked));
}

struct InPlaceCase {
  const char* name;
  Op op;
  FileError error;
  int count;
};

class FileStoreInPlaceTest : public FileStoreFaultTest,
                             public ::testing::WithParamInterface<InPlaceCase> {};

// Where the new file cannot be made or given the old one's owner and access,
// the file keeps its identity and gets the text in place.
TEST_P(FileStoreInPlaceTest, RewritesTheSameFile) {
  const std::string path = Loaded(Shape::kSingleName);
  const FileKey key = store.Load(path).key;
  faults->FailOn(GetParam().op, 1, GetParam().error, GetParam().count);
  EXPECT_EQ(store.Save(path, kNew), std::nullopt);
  const LoadedFile after = store.Load(path);
  EXPECT_EQ(after.text, kNew);
  EXPECT_EQ(after.key, key);
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
  EXPECT_THAT(state.Names(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryReason, FileStoreInPlaceTest,
    ::testing::Values(InPlaceCase{"FolderTakesNoNewFile", Op::kCreate, kNoPermission, 2},
                      InPlaceCase{"OwnerCannotBeKept", Op::kWriteAttributes, kNoPermission, 1}),
    test::ByName());

TEST_F(FileStoreFaultTest, WhenPuttingTheOldContentBackFailsTooTheNextLoadRestoresIt) {
  const std::string path = Loaded(Shape::kHardLinked);
  faults->FailOn(Op::kWriteAt, 5, kIoError, 2);  // the rewrite and the putting back
  EXPECT_EQ(store.Save(path, kNew), kIoError);
  EXPECT_TRUE(ReadFile(path) != kOld);
  // Found under the file's other name too.
  const LoadedFile again = store.Load(folder / "link");
  EXPECT_TRUE(again.restored);
  EXPECT_TRUE(again.text == kOld);
  EXPECT_EQ(folder.Names(), Originals(Shape::kHardLinked));
  EXPECT_THAT(state.Names(), IsEmpty());
}

// Crashes at every call the save makes, then runs again as a user would:
// the result is always that of one uninterrupted run, with no file left
// behind. The cleaning here removes every 'o' and grows each 'x', so a file
// that already got the new text is not changed again.
std::string Clean(const std::string& text) {
  std::string cleaned;
  for (const char c : text) {
    if (c == 'x') cleaned += "XXXX";
    if (c != 'o' && c != 'x') cleaned += c;
  }
  return cleaned;
}

struct CrashCase {
  const char* name;
  Shape shape;
  int failingCreates;  // the folder takes no new file: the copy goes to the private folder
};

class FileStoreCrashTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(FileStoreCrashTest, ARunAfterACrashAtAnyStepGivesTheResultOfOneRun) {
  const std::string old = "<p>hello x world</p>\n" + std::string(500, 'o') + "x\n";
  bool finished = false;
  for (int crashAt = 1; !finished; ++crashAt) {
    SCOPED_TRACE("crash at call " + std::to_string(crashAt));
    test::TempFolder folder;
    test::TempFolder state;
    const std::string path = folder / "doc";
    WriteFile(path, old);
    if (GetParam().shape == Shape::kHardLinked) test::MakeHardLink(path, folder / "link");
    {
      auto* faults = new FaultyFileSystem(MakeSystemFileSystem(state.path()));
      SafeFileStore store{std::unique_ptr<FileSystem>(faults)};
      const LoadedFile loaded = store.Load(path);
      ASSERT_TRUE(loaded.ok());
      if (GetParam().failingCreates > 0) {
        faults->FailOn(Op::kCreate, 1, kNoPermission, GetParam().failingCreates);
      }
      faults->CrashAt(crashAt);
      try {
        ASSERT_EQ(store.Save(path, Clean(loaded.text)), std::nullopt);
        finished = true;
        store.Flush();
      } catch (const test::SimulatedCrash&) {
        faults->CrashAt(0);  // the store's own end must not crash again
      }
    }
    SafeFileStore rerun{MakeSystemFileSystem(state.path())};
    const LoadedFile loaded = rerun.Load(path);
    ASSERT_TRUE(loaded.ok());
    const std::string cleaned = Clean(loaded.text);
    if (cleaned != loaded.text) {
      ASSERT_EQ(rerun.Save(path, cleaned), std::nullopt);
    }
    EXPECT_EQ(ReadFile(path), Clean(old));
    EXPECT_EQ(folder.Names().size(), GetParam().shape == Shape::kHardLinked ? 2u : 1u);
    EXPECT_THAT(state.Names(), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, FileStoreCrashTest,
                         ::testing::Values(CrashCase{"ByRename", Shape::kSingleName, 0},
                                           CrashCase{"InPlace", Shape::kHardLinked, 0},
                                           CrashCase{"InPlaceCopyInPrivateFolder",
                                                     Shape::kHardLinked, 1}),
                         test::ByName());

}  // namespace
}  // namespace quillmere
