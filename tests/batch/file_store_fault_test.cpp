// The saving policy under failures and crashes at every step, on real
// files: the same cases run natively and under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "faulty_file_system.h"
#include "interrupted_rewrite.h"
#include "param_name.h"
#include "safe_file_store.h"
#include "system_files.h"
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

// The time of the file's last change of any kind, as the system tells it.
Timestamp ChangeTimeOf(const std::string& path) {
  Result<Location> where = MakeSystemFileSystem("")->Locate(path);
  Result<FileInfo> info = where.has_value() ? where->folder->InfoOf(where->name) : where.error();
  return info.has_value() ? info->changed : Timestamp{};
}

// Rewrites the file with its times put back, again until its change time
// shows it: a change that only the change time can tell.
void EditUnseenButForTheChangeTime(const std::string& path, const std::string& content) {
  const Timestamp before = ChangeTimeOf(path);
  do {
    test::RewriteKeepingTimes(path, content);
  } while (ChangeTimeOf(path) == before);
}

TEST_F(FileStoreFaultTest, AFileEditedWhileTheNewOneWasWrittenIsNotReplaced) {
  // Of another size, and of the same size with its times put back.
  for (const std::string& edit : {std::string("edited elsewhere"), std::string(kOld.size(), 'e')}) {
    const std::string path = Loaded(Shape::kSingleName);
    // Just before the last look at the file ahead of the rename, when the
    // save no longer holds it (the first looks check that its name leads to
    // the file opened and for new content left beside it).
    faults->Before(Op::kInfoOf, 3, [&] { EditUnseenButForTheChangeTime(path, edit); });
    EXPECT_EQ(store.Save(path, kNew), FileError{FileProblem::kChanged});
    EXPECT_EQ(ReadFile(path), edit);
    EXPECT_THAT(folder.Names(), ElementsAre("doc"));
  }
}

// Where change times are too coarse to show an edit whose times were put
// back, the content itself tells it.
TEST_F(FileStoreFaultTest, AnEditCoarseTimesHideIsToldByTheContent) {
  faults->CoarseTimes();
  for (const Shape shape : {Shape::kSingleName, Shape::kHardLinked}) {
    const std::string path = Loaded(shape);
    const std::string edit(kOld.size(), 'e');
    test::RewriteKeepingTimes(path, edit);
    EXPECT_EQ(store.Save(path, kNew), FileError{FileProblem::kChanged});
    EXPECT_EQ(ReadFile(path), edit);
    EXPECT_EQ(folder.Names(), Originals(shape));
    test::RemoveFile(path);
  }
}

TEST_F(FileStoreFaultTest, TheRecoveryCopyIsOnDiskBeforeTheFileIsTouched) {
  const std::string path = Loaded(Shape::kHardLinked);
  ASSERT_EQ(store.Save(path, kNew), std::nullopt);
  const std::vector<std::string>& trace = faults->trace();
  const auto at = [&](const std::string& step) {
    return std::find(trace.begin(), trace.end(), step) - trace.begin();
  };
  const auto copySynced = at("Sync .doc.quillmere-recovery");
  const auto touched = at("WriteAt doc");
  ASSERT_LT(touched, static_cast<std::ptrdiff_t>(trace.size()));
  EXPECT_LT(at("WriteAt .doc.quillmere-recovery"), copySynced);
  EXPECT_TRUE(std::find(trace.begin() + copySynced, trace.begin() + touched, "FolderSync folder") !=
              trace.begin() + touched);
}

// A rewrite in place interrupted just before the file was cut to length,
// then what happens to the file before it is loaded again.
struct AfterKillCase {
  const char* name;
  std::function<void(const std::string& path, const std::string& copy)> meanwhile;
  std::uint64_t deviceShift;  // the disk mounted anew
  // What the next load finds: the old content to put back, the file as it
  // stands, or a copy left for the user with this reason.
  enum class Finds { kOldContent, kTheFile, kCopyLeft } finds;
  const char* why = "";
};

class FileStoreAfterKillTest : public FileStoreFaultTest,
                               public ::testing::WithParamInterface<AfterKillCase> {};

TEST_P(FileStoreAfterKillTest, APeekWritesNothingAndALoadRestoresOnlyWhatTheRewriteLeft) {
  const AfterKillCase& c = GetParam();
  const std::string path = folder / "doc";
  WriteFile(path, kOld);
  test::MakeHardLink(path, folder / "link");
  test::LeaveInterruptedRewrite(path, state.path(), kNew.substr(0, 6000));
  const std::string copy = folder / ".doc.quillmere-recovery";
  c.meanwhile(path, copy);
  const std::string fileBefore = ReadFile(path);
  const std::string copyBefore = ReadFile(copy);
  faults->ShiftDevices(c.deviceShift);

  const std::string left = "an interrupted save left a recovery copy at " + copy + "; " + c.why;
  for (const bool peek : {true, false}) {
    SCOPED_TRACE(peek ? "peek" : "load");
    const LoadedFile loaded = peek ? store.Peek(path) : store.Load(path);
    switch (c.finds) {
      case AfterKillCase::Finds::kOldContent:
        EXPECT_TRUE(loaded.restored);
        EXPECT_TRUE(loaded.text == kOld);
        break;
      case AfterKillCase::Finds::kTheFile:
        EXPECT_FALSE(loaded.restored);
        EXPECT_TRUE(loaded.text == fileBefore);
        break;
      case AfterKillCase::Finds::kCopyLeft:
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(ReasonText(*loaded.error), left);
        break;
    }
    if (peek || c.finds == AfterKillCase::Finds::kCopyLeft) {
      EXPECT_TRUE(ReadFile(path) == fileBefore);
      EXPECT_TRUE(ReadFile(copy) == copyBefore);
    }
  }
  if (c.finds != AfterKillCase::Finds::kCopyLeft) {
    EXPECT_EQ(folder.Names(), Originals(Shape::kHardLinked));
    EXPECT_THAT(state.Names(), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLaterState, FileStoreAfterKillTest,
    ::testing::Values(
        AfterKillCase{"Untouched", [](const auto&, const auto&) {}, 0,
                      AfterKillCase::Finds::kOldContent},
        AfterKillCase{"OnAnotherDeviceNumber", [](const auto&, const auto&) {}, 7,
                      AfterKillCase::Finds::kOldContent},
        AfterKillCase{"RepairedByHand",
                      [](const auto& path, const auto&) { WriteFile(path, "repaired by hand"); }, 0,
                      AfterKillCase::Finds::kCopyLeft, "the file changed since"},
        AfterKillCase{"ReplacedByAnotherFile",
                      [](const auto& path, const auto&) {
                        test::RemoveFile(path);
                        WriteFile(path, std::string(9000, 'x'));
                      },
                      0, AfterKillCase::Finds::kCopyLeft, "the file changed since"},
        AfterKillCase{"PutBackByHand", [](const auto& path, const auto&) { WriteFile(path, kOld); },
                      0, AfterKillCase::Finds::kTheFile},
        AfterKillCase{"WithADamagedCopy",
                      [](const auto&, const auto& copy) {
                        std::string bytes = ReadFile(copy);
                        bytes[bytes.size() - 100] ^= 1;
                        WriteFile(copy, bytes);
                      },
                      0, AfterKillCase::Finds::kCopyLeft, "the copy is damaged"}),
    test::ByName());

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
