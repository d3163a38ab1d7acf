// What only the Windows store does: attribute flags, file mappings, shared
// readers, devices and names in the ANSI code page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "store_fixture.h"
#include "win_test_files.h"

namespace quillmere {
namespace {

using test::AttributesOf;
using test::FileHolder;
using test::ReadFile;
using test::WriteFile;
using ::testing::ElementsAre;

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
  const std::string path = Loaded("caf" + letter + ".htm");
  EXPECT_EQ(store.Save(path, "new"), std::nullopt);
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_THAT(folder.Names(), ElementsAre("caf" + letter + ".htm"));
}

TEST_F(WinFileStoreTest, APathWithANulByteNamesNoFile) {
  const std::string path = Loaded("a.htm");
  const std::string longer = path + std::string(1, '\0') + "x";
  EXPECT_EQ(store.Load(longer).error, FileError{FileProblem::kNotFound});
  EXPECT_EQ(store.Save(longer, "new"), FileError{FileProblem::kNotFound});
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
  EXPECT_FALSE(store.Load(path).ok());
  EXPECT_NE(store.Save(path, "new"), std::nullopt);
  if (written) {
    EXPECT_EQ(ReadFile(path), "other");
  }
}

}  // namespace
}  // namespace quillmere
