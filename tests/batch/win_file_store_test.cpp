// The Windows file store on real files in a temporary folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "file_store.h"
#include "win_temp_folder.h"

namespace quillmere {
namespace {

using test::AttributesOf;
using test::FileHolder;
using test::InfoOf;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

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

class WinFileStoreTest : public ::testing::Test {
 protected:
  bool LoadFails(const std::string& path) {
    return store->Load(path).status == LoadStatus::kFailed;
  }

  // Writes the file and loads it, as a run does before saving.
  std::string Loaded(const std::string& name, const std::string& content) {
    const std::string path = folder / name;
    WriteFile(path, content);
    EXPECT_EQ(store->Load(path).status, LoadStatus::kOk);
    return path;
  }

  test::WinTempFolder folder;
  std::unique_ptr<FileStore> store = MakeSystemFileStore();
};

// --- Load ---------------------------------------------------------------------------

TEST_F(WinFileStoreTest, ReadsTheWholeFileByteForByte) {
  const std::string text = "<p>caf\xE9</p>\r\n" + std::string(200000, 'z') + "\r\n";
  WriteFile(folder / "a.htm", text);
  WriteFile(folder / "empty", "");
  const LoadedFile loaded = store->Load(folder / "a.htm");
  EXPECT_EQ(loaded.status, LoadStatus::kOk);
  EXPECT_EQ(loaded.text, text);
  const LoadedFile empty = store->Load(folder / "empty");
  EXPECT_EQ(empty.status, LoadStatus::kOk);
  EXPECT_EQ(empty.text, "");
}

TEST_F(WinFileStoreTest, OnlyRegularFilesAreRead) {
  ASSERT_TRUE(CreateDirectoryW(test::Wide(folder / "sub").c_str(), nullptr));
  EXPECT_TRUE(LoadFails(folder / "sub"));
  EXPECT_TRUE(LoadFails(folder / "missing"));
  EXPECT_TRUE(LoadFails("NUL"));
  EXPECT_TRUE(LoadFails(""));
}

TEST_F(WinFileStoreTest, ANulByteRefusesTheFileAndLeavesIt) {
  const std::string utf16("<\0p\0>\0", 6);
  WriteFile(folder / "wide.txt", utf16);
  EXPECT_TRUE(LoadFails(folder / "wide.txt"));
  EXPECT_EQ(ReadFile(folder / "wide.txt"), utf16);
}

TEST_F(WinFileStoreTest, AFileAboveTheLimitIsRefused) {
  const std::string path = folder / "large";
  WriteFile(path, "");
  {
    FileHolder file(path, GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_TRUE(file.valid());
    DWORD unused = 0;  // sparse where the file system allows it, so no space is taken
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(kMaxLoadSize) + 1;
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  EXPECT_TRUE(LoadFails(path));
}

TEST_F(WinFileStoreTest, AFileOpenElsewhereIsNotRead) {
  const std::string path = folder / "held";
  WriteFile(path, "text");
  {
    // Even a reader that shares everything keeps the store out.
    const FileHolder reader(path, GENERIC_READ, kShareAll);
    ASSERT_TRUE(reader.valid());
    EXPECT_TRUE(LoadFails(path));
  }
  EXPECT_FALSE(LoadFails(path));
}

// --- Save ---------------------------------------------------------------------------

TEST_F(WinFileStoreTest, ReplacesTheContentExactlyAndLeavesNoOtherFile) {
  const std::string path = Loaded("a.htm", std::string(100000, 'o'));
  EXPECT_TRUE(store->Save(path, "short\r\n"));
  EXPECT_EQ(ReadFile(path), "short\r\n");
  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  const std::string longer(300000, 'n');
  EXPECT_TRUE(store->Save(path, longer));
  EXPECT_EQ(ReadFile(path), longer);
  EXPECT_THAT(folder.Names(), ElementsAre(L"a.htm"));
  EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
}

TEST_F(WinFileStoreTest, AHiddenFileStaysHidden) {
  const std::string path = folder / "hidden.htm";
  WriteFile(path, "old");
  ASSERT_TRUE(SetFileAttributesW(test::Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  EXPECT_TRUE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_NE(AttributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(WinFileStoreTest, AHardLinkedFileKeepsSharingItsContent) {
  const std::string path = Loaded("one", "old content, longer");
  const std::string other = folder / "two";
  ASSERT_TRUE(CreateHardLinkW(test::Wide(other).c_str(), test::Wide(path).c_str(), nullptr));
  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  const DWORD index = InfoOf(path).nFileIndexLow;

  EXPECT_TRUE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(other), "new");
  EXPECT_EQ(InfoOf(path).nFileIndexLow, index);
  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  EXPECT_TRUE(store->Save(path, "grown beyond the old content"));
  EXPECT_EQ(ReadFile(other), "grown beyond the old content");
  EXPECT_THAT(folder.Names(), ElementsAre(L"one", L"two"));
}

TEST_F(WinFileStoreTest, AFailedOverwriteInPlacePutsTheOldContentBack) {
  const std::string old = "old content that must survive";
  const std::string path = folder / "one";
  WriteFile(path, old);
  ASSERT_TRUE(
      CreateHardLinkW(test::Wide(folder / "two").c_str(), test::Wide(path).c_str(), nullptr));
  {
    // A mapped view forbids cutting the file short, after the new text went in.
    const MappedView view(path);
    ASSERT_TRUE(view.valid());
    ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
    EXPECT_FALSE(store->Save(path, "short"));
  }
  EXPECT_EQ(ReadFile(folder / "two"), old);
  EXPECT_THAT(folder.Names(), ElementsAre(L"one", L"two"));
}

TEST_F(WinFileStoreTest, AMappedFileIsReplacedWholeOrLeftAsItWas) {
  const std::string path = folder / "doc.htm";
  WriteFile(path, "old");
  bool saved = false;
  {
    const MappedView view(path);
    ASSERT_TRUE(view.valid());
    ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
    // Windows refuses to replace a mapped file; Wine allows it.
    saved = store->Save(path, "new");
  }
  EXPECT_EQ(ReadFile(path), saved ? "new" : "old");
  EXPECT_THAT(folder.Names(), ElementsAre(L"doc.htm"));
}

TEST_F(WinFileStoreTest, AReadOnlyFileIsRefusedAndLeftUnchanged) {
  const std::string path = folder / "ro";
  WriteFile(path, "old");
  ASSERT_TRUE(SetFileAttributesW(test::Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  EXPECT_FALSE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_NE(AttributesOf(path) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_THAT(folder.Names(), ElementsAre(L"ro"));
}

TEST_F(WinFileStoreTest, AFileThatIsGoneIsNotCreated) {
  const std::string path = Loaded("gone", "old");
  ASSERT_TRUE(DeleteFileW(test::Wide(path).c_str()));
  EXPECT_FALSE(store->Save(path, "new"));
  EXPECT_FALSE(store->Save(folder / "never", "new"));
  EXPECT_THAT(folder.Names(), IsEmpty());
}

TEST_F(WinFileStoreTest, AFileReplacedOrChangedSinceTheLoadIsLeftAlone) {
  const std::string path = Loaded("doc", "old");
  WriteFile(folder / "other", "someone else's");
  ASSERT_TRUE(MoveFileExW(test::Wide(folder / "other").c_str(), test::Wide(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "someone else's");

  ASSERT_EQ(store->Load(path).status, LoadStatus::kOk);
  WriteFile(path, "edited meanwhile");
  EXPECT_FALSE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "edited meanwhile");
  EXPECT_THAT(folder.Names(), ElementsAre(L"doc"));
}

TEST_F(WinFileStoreTest, AFileOpenElsewhereIsNotWritten) {
  const std::string path = Loaded("held", "old");
  for (const DWORD share : {DWORD{0}, kShareAll}) {
    const FileHolder holder(path, GENERIC_READ, share);
    ASSERT_TRUE(holder.valid());
    EXPECT_FALSE(store->Save(path, "new")) << "share mode " << share;
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_THAT(folder.Names(), ElementsAre(L"held"));
}

TEST_F(WinFileStoreTest, AFolderOrDeviceIsNeverWritten) {
  ASSERT_TRUE(CreateDirectoryW(test::Wide(folder / "sub").c_str(), nullptr));
  EXPECT_FALSE(store->Save(folder / "sub", "new"));
  EXPECT_FALSE(store->Save("NUL", "new"));
  EXPECT_THAT(folder.Names(), ElementsAre(L"sub"));
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
  ASSERT_EQ(store->Load(link).status, LoadStatus::kOk);
  EXPECT_TRUE(store->Save(link, "new"));
  EXPECT_NE(AttributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_THAT(folder.Names(), ElementsAre(L"link.htm", L"target.htm"));
}

// --- Paths --------------------------------------------------------------------------

// A non-ASCII letter that the ANSI code page has, in that code page's bytes.
std::string NonAsciiLetter() {
  for (const wchar_t* letter : {L"\u00E9", L"\u0436", L"\u03B1", L"\u30A2", L"\u4E2D"}) {
    const std::string ansi = test::Ansi(letter);
    if (!ansi.empty()) return ansi;
  }
  return {};
}

TEST_F(WinFileStoreTest, ANonAsciiNameInTheCodePageIsLoadedAndSaved) {
  const std::string letter = NonAsciiLetter();
  ASSERT_FALSE(letter.empty()) << "code page " << GetACP();
  const std::string path = Loaded("caf" + letter + ".htm", "old");
  EXPECT_TRUE(store->Save(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_THAT(folder.Names(), ElementsAre(L"caf" + test::Wide(letter) + L".htm"));
}

TEST_F(WinFileStoreTest, APathWithANulByteNamesNoFile) {
  const std::string path = Loaded("a.htm", "old");
  const std::string longer = path + std::string(1, '\0') + "x";
  EXPECT_TRUE(LoadFails(longer));
  EXPECT_FALSE(store->Save(longer, "new"));
  EXPECT_EQ(ReadFile(path), "old");
}

TEST_F(WinFileStoreTest, BytesThatAreNoCharacterOfTheCodePageNameNoFile) {
  int lead = 0x80;
  while (lead < 0x100 && !IsDBCSLeadByte(static_cast<BYTE>(lead))) ++lead;
  if (lead == 0x100) GTEST_SKIP() << "every byte is a character in code page " << GetACP();
  // A lead byte with nothing after it. Whatever a lenient conversion makes
  // of it is the name of a file that must not be touched.
  const std::string path = folder / ("a" + std::string(1, static_cast<char>(lead)));
  bool written = true;
  try {
    WriteFile(path, "other");  // the test helpers convert leniently
  } catch (const std::runtime_error&) {
    written = false;  // no valid file name; the load must fail all the same
  }
  EXPECT_TRUE(LoadFails(path));
  EXPECT_FALSE(store->Save(path, "new"));
  if (written) {
    EXPECT_EQ(ReadFile(path), "other");
  }
}

}  // namespace
}  // namespace quillmere
