// What only the Windows store does: attribute flags, file mappings, shared
// readers, devices, names in UTF-8 from outside the ANSI code page, owners
// and the paths it shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "file_system.h"
#include "store_fixture.h"
#include "system_files.h"
#include "win_path.h"
#include "win_test_files.h"

namespace quillmere {
namespace {

using test::AttributesOf;
using test::FileHolder;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A read-only view of a file mapped into memory, kept while it lives.
class MappedView {
 public:
  explicit MappedView(const std::string& path) {
    const FileHolder file(path, GENERIC_READ, kShareAll);
    if (!file.valid()) return;
    mapping_ = CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping_ != nullptr) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
  }
  ~MappedView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  bool valid() const { return view_ != nullptr; }

 private:
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
};

class WinFileStoreTest : public test::StoreFixture {
 protected:
  std::string Loaded(const std::string& name, const std::string& content = "old") {
    return StoreFixture::Loaded(name, content);
  }
};

TEST_F(WinFileStoreTest, TheAttributeFlagsStayAsTheyWere) {
  const std::string plain = Loaded("plain.htm");
  EXPECT_EQ(store.Save(plain, "new"), std::nullopt);
  EXPECT_EQ(AttributesOf(plain) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);

  const std::string hidden = folder / "hidden.htm";
  WriteFile(hidden, "old");
  ASSERT_TRUE(SetFileAttributesW(test::Wide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(store.Load(hidden).ok());
  EXPECT_EQ(store.Save(hidden, "new"), std::nullopt);
  EXPECT_EQ(ReadFile(hidden), "new");
  EXPECT_NE(AttributesOf(hidden) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(WinFileStoreTest, EvenAReaderThatSharesEverythingKeepsTheStoreOut) {
  const std::string path = Loaded("held");
  {
    const FileHolder reader(path, GENERIC_READ, kShareAll);
    ASSERT_TRUE(reader.valid());
    EXPECT_EQ(store.Load(path).error, FileError{FileProblem::kLocked});
    EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kLocked});
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_TRUE(store.Load(path).ok());
}

TEST_F(WinFileStoreTest, AFailedOverwriteInPlacePutsTheOldContentBack) {
  const std::string old = "old content that must survive";
  const std::string path = folder / "one";
  WriteFile(path, old);
  test::MakeHardLink(path, folder / "two");
  {
    // A mapped view forbids cutting the file short, after the new text went in.
    const MappedView view(path);
    ASSERT_TRUE(view.valid());
    ASSERT_TRUE(store.Load(path).ok());
    EXPECT_NE(store.Save(path, "short"), std::nullopt);
  }
  EXPECT_EQ(ReadFile(folder / "two"), old);
  EXPECT_THAT(folder.Names(), ElementsAre("one", "two"));
}

TEST_F(WinFileStoreTest, AMappedFileIsReplacedWholeOrLeftAsItWas) {
  const std::string path = folder / "doc.htm";
  WriteFile(path, "old");
  bool saved = false;
  {
    const MappedView view(path);
    ASSERT_TRUE(view.valid());
    ASSERT_TRUE(store.Load(path).ok());
    // Windows refuses to replace a mapped file; Wine allows it.
    saved = store.Save(path, "new") == std::nullopt;
  }
  EXPECT_EQ(ReadFile(path), saved ? "new" : "old");
  EXPECT_THAT(folder.Names(), ElementsAre("doc.htm"));
}

TEST_F(WinFileStoreTest, ADeviceIsNeverReadOrWritten) {
  const FileError device{FileProblem::kNotRegularFile, "device"};
  EXPECT_EQ(store.Load("NUL").error, device);
  EXPECT_EQ(store.Save("NUL", "new"), device);
}

TEST_F(WinFileStoreTest, ASymbolicLinkStaysALinkAndItsTargetGetsTheText) {
  const std::string target = folder / "target.htm";
  const std::string link = folder / "link.htm";
  WriteFile(target, "old");
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  CreateSymbolicLinkW(test::Wide(link).c_str(), L"target.htm", kUnprivileged);
  if (AttributesOf(link) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  ASSERT_TRUE(store.Load(link).ok());
  EXPECT_EQ(store.Save(link, "new"), std::nullopt);
  EXPECT_NE(AttributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_THAT(folder.Names(), ElementsAre("link.htm", "target.htm"));
}

// Greek and Japanese: outside the single-byte code pages, and the Greek
// outside code page 932 too; paths reach the system as UTF-16 whatever the
// ANSI code page is.
TEST_F(WinFileStoreTest, ANameOutsideTheAnsiCodePageIsLoadedAndSaved) {
  const std::string name =
      "\xce\xba\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1-"
      "\xe6\x97\xa5\xe6\x9c\xac.htm";
  const std::string path = Loaded(name);
  EXPECT_EQ(store.Save(path, "new"), std::nullopt);
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_THAT(folder.Names(), ElementsAre(name));
}

TEST_F(WinFileStoreTest, APathWithANulByteNamesNoFile) {
  const std::string path = Loaded("a.htm");
  const std::string longer = path + std::string(1, '\0') + "x";
  EXPECT_EQ(store.Load(longer).error, FileError{FileProblem::kNotFound});
  EXPECT_EQ(store.Save(longer, "new"), FileError{FileProblem::kNotFound});
  EXPECT_EQ(ReadFile(path), "old");
}

TEST_F(WinFileStoreTest, BytesThatAreNoUtf8NameNoFile) {
  // "a\xe9" is "a" and "e acute" in code page 1252 but no UTF-8. A lenient
  // conversion makes it "a" and U+FFFD: the name of a file that must not be
  // touched.
  const std::string path = folder / "a\xe9";
  WriteFile(path, "other");
  EXPECT_EQ(store.Load(path).error, FileError{FileProblem::kNotFound});
  EXPECT_EQ(store.Save(path, "new"), FileError{FileProblem::kNotFound});
  EXPECT_EQ(ReadFile(path), "other");
}

TEST_F(WinFileStoreTest, TheUsersFileAndFolderAreTheirsAndTheFileHasABirth) {
  const std::string path = Loaded("doc.htm");
  Result<Location> where = MakeSystemFileSystem(state.path())->Locate(path);
  ASSERT_TRUE(where.has_value());
  Result<std::unique_ptr<OpenFile>> file = where->folder->Open(where->name, Access::kRead);
  ASSERT_TRUE(file.has_value());
  for (Result<Ownership> owner :
       {(*file)->Owner(), where->folder->OwnerOf(where->name), where->folder->Owner()}) {
    ASSERT_TRUE(owner.has_value());
    EXPECT_TRUE(owner->ownedByUser);
    EXPECT_THAT(owner->owner, StartsWith("S-1-"));
  }
  Result<FileInfo> info = (*file)->Info();
  ASSERT_TRUE(info.has_value());
  // Wine gives the last write time as the creation time, which is no birth.
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  EXPECT_EQ(info->key.birth != 0, !wine);
}

// The undo journals' folders: the private one made with the folders on its
// way and opened again, and in it folders made (a taken name refused),
// listed, opened and removed by names in UTF-8.
TEST(WinFolderTest, FoldersAreMadeListedOpenedAndRemoved) {
  const test::TempFolder root;
  const std::string path = root / "state\\runs";
  const std::string run = "\xce\xba\xce\xb1";  // Greek, outside code pages 1252 and 932
  const std::unique_ptr<FileSystem> fs = MakeSystemFileSystem("");
  ASSERT_TRUE(fs->PrivateFolder(path, true).has_value());
  Result<std::unique_ptr<Folder>> runs = fs->PrivateFolder(path, false);
  ASSERT_TRUE(runs.has_value());
  ASSERT_TRUE((*runs)->MakeFolder(run).has_value());
  EXPECT_FALSE((*runs)->MakeFolder(run).has_value());
  ASSERT_TRUE((*runs)->Create("journal").has_value());
  Result<std::vector<std::string>> names = (*runs)->Names();
  ASSERT_TRUE(names.has_value());
  EXPECT_THAT(*names, UnorderedElementsAre(run, "journal"));
  EXPECT_TRUE((*runs)->OpenFolder(run).has_value());
  EXPECT_EQ((*runs)->OpenFolder("journal").error().problem, FileProblem::kNotFound);
  EXPECT_EQ((*runs)->RemoveFolder(run), std::nullopt);
  EXPECT_EQ((*runs)->OpenFolder(run).error().problem, FileProblem::kNotFound);
}

TEST(WinPathTest, AVerbatimPathIsShownPlainWhereThatReachesTheSameItem) {
  const std::wstring longName(300, L'x');
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"\\\\?\\C:\\a\\b.htm", L"C:\\a\\b.htm"},
      {L"\\\\?\\UNC\\server\\share\\b.htm", L"\\\\server\\share\\b.htm"},
      {L"\\\\?\\C:\\a\\b.", L"\\\\?\\C:\\a\\b."},
      {L"\\\\?\\C:\\a \\b.htm", L"\\\\?\\C:\\a \\b.htm"},
      {L"\\\\?\\C:\\a\\Nul.htm", L"\\\\?\\C:\\a\\Nul.htm"},
      {L"\\\\?\\C:\\a\\com1", L"\\\\?\\C:\\a\\com1"},
      {L"\\\\?\\C:\\" + longName, L"\\\\?\\C:\\" + longName},
      {L"\\\\?\\C:", L"\\\\?\\C:"},
  };
  for (const auto& [verbatim, shown] : cases) {
    EXPECT_EQ(on_windows::PlainPath(verbatim), shown) << test::Utf8(verbatim);
  }
}

}  // namespace
}  // namespace quillmere
