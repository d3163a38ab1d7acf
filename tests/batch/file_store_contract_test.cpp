// What every system's file store promises, on real files in a temporary
// folder: the same cases run natively and under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "param_name.h"
#include "store_fixture.h"
#include "test_files.h"

namespace quillmere {
namespace {

using test::PrintTo;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const std::string kOld = "<p>old content \xE9 that must survive</p>\r\n";

class FileStoreContractTest : public test::StoreFixture {
 protected:
  std::string Loaded(const std::string& name, const std::string& content = kOld) {
    return StoreFixture::Loaded(name, content);
  }
};

TEST_F(FileStoreContractTest, LoadsAndSavesEveryByteAndLeavesNoOtherFile) {
  const std::string path = folder / "a.htm";
  WriteFile(path, std::string(300000, 'o') + kOld);
  FileKey key = store.Load(path).key;
  for (const std::string& text : {std::string("short\r\n"), std::string(500000, 'n'), kOld}) {
    EXPECT_EQ(store.Save(path, text), std::nullopt);
    const LoadedFile again = store.Load(path);
    EXPECT_TRUE(again.text == text);
    EXPECT_TRUE(ReadFile(path) == text);
    // A file with one name is replaced whole by a new one, atomically.
    EXPECT_NE(again.key, key);
    key = again.key;
  }
  EXPECT_THAT(folder.Names(), ElementsAre("a.htm"));
  EXPECT_THAT(state.Names(), ::testing::IsEmpty());
}

// Whether bytes are text depends on the encoding they are read in, which
// the decoding knows: UTF-16 without its mark is full of NUL bytes too.
TEST_F(FileStoreContractTest, LoadsTheBytesAsTheyAreNulBytesIncluded) {
  for (const std::string& text : {std::string("\xFF\xFE<\0p\0>\0", 8),
                                  std::string("\xFE\xFF\0<\0p\0>", 8), std::string("<\0p\0", 4)}) {
    const std::string path = folder / "wide.txt";
    WriteFile(path, text);
    const LoadedFile loaded = store.Load(path);
    EXPECT_TRUE(loaded.ok()) << *loaded.error;
    EXPECT_TRUE(loaded.text == text);
  }
}

struct LoadCase {
  const char* name;
  std::function<std::string(const test::TempFolder&)> make;  // gives the path to load
  FileError expected;
};

class FileStoreLoadFailureTest : public FileStoreContractTest,
                                 public ::testing::WithParamInterface<LoadCase> {};

TEST_P(FileStoreLoadFailureTest, IsRefusedWithItsReasonAndLeftAlone) {
  const std::string path = GetParam().make(folder);
  const std::vector<std::string> before = folder.Names();
  const LoadedFile loaded = store.Load(path);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(*loaded.error, GetParam().expected);
  EXPECT_EQ(loaded.text, "");
  EXPECT_EQ(folder.Names(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryReason, FileStoreLoadFailureTest,
                         ::testing::Values(LoadCase{"Missing",
                                                    [](const auto& f) { return f / "missing"; },
                                                    {FileProblem::kNotFound, ""}},
                                           LoadCase{"EmptyPath",
                                                    [](const auto&) { return std::string(); },
                                                    {FileProblem::kNotFound, ""}},
                                           LoadCase{"Folder",
                                                    [](const auto& f) {
                                                      test::MakeFolder(f / "sub");
                                                      return f / "sub";
                                                    },
                                                    {FileProblem::kNotRegularFile, "folder"}},
                                           LoadCase{"TooLarge",
                                                    [](const auto& f) {
                                                      test::MakeLargerThanTheLoadLimit(f / "large");
                                                      return f / "large";
                                                    },
                                                    {FileProblem::kTooLarge, ""}}),
                         test::ByName());

TEST_F(FileStoreContractTest, AFileHeldByAnotherProgramIsNeitherReadNorWritten) {
  const std::string path = Loaded("held");
  {
    const test::OtherHolder other(path);
    EXPECT_EQ(store.Load(path).error, FileError{FileProblem::kLocked});
    EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kLocked});
  }
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_THAT(folder.Names(), ElementsAre("held"));
}

struct SaveCase {
  const char* name;
  // Changes the loaded file `path` in folder `f` as someone else would.
  std::function<void(const test::TempFolder& f, const std::string& path)> meanwhile;
  FileError expected;
  std::vector<std::string> namesAfter;
  std::optional<std::string> contentAfter;  // when a file is left
};

class FileStoreSaveFailureTest : public FileStoreContractTest,
                                 public ::testing::WithParamInterface<SaveCase> {};

TEST_P(FileStoreSaveFailureTest, IsRefusedWithItsReasonAndTheOtherContentKept) {
  const std::string path = Loaded("doc");
  GetParam().meanwhile(folder, path);
  EXPECT_EQ(store.CheckSave(path), GetParam().expected);
  EXPECT_EQ(store.Save(path, "new"), GetParam().expected);
  EXPECT_THAT(folder.Names(), ElementsAreArray(GetParam().namesAfter));
  if (GetParam().contentAfter) {
    EXPECT_EQ(ReadFile(path), *GetParam().contentAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryReason, FileStoreSaveFailureTest,
    ::testing::Values(SaveCase{"ReadOnly",
                               [](const auto&, const auto& p) { test::MakeReadOnly(p); },
                               {FileProblem::kReadOnly, test::kReadOnlyDetail},
                               {"doc"},
                               kOld},
                      SaveCase{"Gone",
                               [](const auto&, const auto& p) { test::RemoveFile(p); },
                               {FileProblem::kNotFound, ""},
                               {},
                               std::nullopt},
                      SaveCase{"ReplacedByAnother",
                               [](const auto& f, const auto& p) {
                                 WriteFile(f / "other", "someone else's");
                                 test::MoveOver(f / "other", p);
                               },
                               {FileProblem::kChanged, ""},
                               {"doc"},
                               "someone else's"},
                      SaveCase{"EditedWithItsTimesPutBack",
                               [](const auto&, const auto& p) {
                                 test::RewriteKeepingTimes(p, "edited elsewhere");
                               },
                               {FileProblem::kChanged, ""},
                               {"doc"},
                               "edited elsewhere"},
                      SaveCase{"NowAFolder",
                               [](const auto&, const auto& p) {
                                 test::RemoveFile(p);
                                 test::MakeFolder(p);
                               },
                               {FileProblem::kNotRegularFile, "folder"},
                               {"doc"},
                               std::nullopt}),
    test::ByName());

TEST_F(FileStoreContractTest, AHardLinkedFileKeepsSharingItsContent) {
  const std::string path = Loaded("one", "old content, longer than the next");
  test::MakeHardLink(path, folder / "two");
  const LoadedFile one = store.Load(path);
  EXPECT_EQ(store.Save(path, "new"), std::nullopt);
  EXPECT_EQ(ReadFile(folder / "two"), "new");
  const LoadedFile two = store.Load(folder / "two");
  EXPECT_EQ(two.key, one.key);  // one file under two names
  EXPECT_EQ(store.Save(folder / "two", "grown beyond the old content"), std::nullopt);
  EXPECT_EQ(ReadFile(path), "grown beyond the old content");
  EXPECT_THAT(folder.Names(), ElementsAre("one", "two"));
  EXPECT_THAT(state.Names(), ::testing::IsEmpty());
}

TEST_F(FileStoreContractTest, AHardLinkedFileEditedWithItsTimesPutBackIsNotOverwritten) {
  const std::string path = Loaded("one");
  test::MakeHardLink(path, folder / "two");
  ASSERT_TRUE(store.Load(path).ok());
  test::RewriteKeepingTimes(path, "edited elsewhere");
  EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kChanged});
  EXPECT_EQ(ReadFile(folder / "two"), "edited elsewhere");
}

TEST_F(FileStoreContractTest, AWritableFilePassesTheCheckAndTheCheckWritesNothing) {
  const std::string path = Loaded("doc");
  EXPECT_EQ(store.CheckSave(path), std::nullopt);
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_EQ(store.CheckSave(folder / "missing"), FileError{FileProblem::kNotFound});
  EXPECT_THAT(folder.Names(), ElementsAre("doc"));
}

}  // namespace
}  // namespace quillmere
