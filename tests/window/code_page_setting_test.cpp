// The window's code page of older files: what a run and a preview read files
// in, and the setting read back from the state folder.
#include "code_page_setting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "code_page.h"
#include "fake_window.h"
#include "file_preview.h"
#include "main_window_logic.h"
#include "memory_file_store.h"
#include "param_name.h"
#include "test_files.h"

namespace quillmere {
namespace {

using test::PrintTo;

// "привет" in the two code pages, and "мир" that replaces it.
constexpr const char* kHelloIn1251 = "\xEF\xF0\xE8\xE2\xE5\xF2 X";
constexpr const char* kWorldIn1251 = "\xEC\xE8\xF0 X";
constexpr const char* kHelloInIso5 = "\xDF\xE0\xD8\xD2\xD5\xE2 X";
constexpr const char* kWorldInIso5 = "\xDC\xD8\xE0 X";

struct ReadCase {
  std::string name;
  std::string codePage;  // the window's setting
  std::string file;
  std::string afterRun;
  std::string previewEncoding;  // empty: the system's own
  bool previewChanges;
};

class CodePageReadTest : public ::testing::TestWithParam<ReadCase> {
 protected:
  CodePageReadTest() {
    window.controls.options.searchEnabled = true;
    window.controls.options.searchText = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    window.controls.options.replaceText = "\xD0\xBC\xD0\xB8\xD1\x80";
  }

  test::FakeWindow window;
  test::MemoryFileStore store;
  MainWindowLogic logic{window, store};
};

TEST_P(CodePageReadTest, RunAndPreviewReadTheFileInTheChosenCodePage) {
  const ReadCase& c = GetParam();
  logic.SetLegacyCodePage(c.codePage);
  store.files["old.txt"] = c.file;
  logic.OnDropFiles({"old.txt"});

  // The preview takes what the window shows; the run reads the controls anew.
  window.ExchangeData(logic.fields(), ExchangeDirection::kRead);
  const FilePreview preview = PreviewFile(store, "old.txt", logic.RunOptions());
  logic.OnStart();

  EXPECT_EQ(store.files["old.txt"], c.afterRun);
  EXPECT_EQ(preview.encoding,
            c.previewEncoding.empty() ? SystemLegacyCodePage() : c.previewEncoding);
  EXPECT_EQ(preview.after.text() != preview.before.text(), c.previewChanges);
}

INSTANTIATE_TEST_SUITE_P(Cases, CodePageReadTest,
                         ::testing::Values(ReadCase{"Windows1251", "windows-1251", kHelloIn1251,
                                                    kWorldIn1251, "windows-1251", true},
                                           ReadCase{"Iso8859_5", "ISO-8859-5", kHelloInIso5,
                                                    kWorldInIso5, "ISO-8859-5", true},
                                           ReadCase{"SystemsOwnLeavesCyrillicBytesAlone", "",
                                                    kHelloIn1251, kHelloIn1251, "", false}),
                         test::ByName{});

struct StoredCase {
  std::string name;
  std::string stored;
  std::string read;  // empty: the default
};

class StoredCodePageTest : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredCodePageTest, ReadsBackOnlyAnOfferedName) {
  const StoredCase& c = GetParam();
  test::TempFolder state;
  test::WriteFile(state / "code-page", c.stored);
  EXPECT_EQ(LoadCodePageSetting(state.path()), c.read);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredCodePageTest,
    ::testing::Values(StoredCase{"AsSaved", "windows-1251\n", "windows-1251"},
                      StoredCase{"WithoutLineEnd", "KOI8-R", "KOI8-R"}, StoredCase{"Empty", "", ""},
                      StoredCase{"NotACodePage", "UTF-8\n", ""},
                      StoredCase{"DoubleByte", "shift_jis\n", ""},
                      StoredCase{"UnknownName", "windows-9999\n", ""},
                      StoredCase{"TrailingText", "windows-1251\nwindows-1250\n", ""},
                      StoredCase{"Binary", std::string("\xFF\xFE\0w\0", 5), ""},
                      StoredCase{"VeryLong", "windows-1251" + std::string(100000, ' '), ""}),
    test::ByName{});

// A setting file or state folder that other users may change is a
// stranger's: its name is not taken.
TEST(CodePageSettingTest, ASettingOthersMayWriteIsNotBelieved) {
  namespace fs = std::filesystem;
  for (const bool loosenFolder : {false, true}) {
    test::TempFolder state;
    const std::string file = state / "code-page";
    test::WriteFile(file, "windows-1251\n");
    ASSERT_EQ(LoadCodePageSetting(state.path()), "windows-1251");
    const fs::path loosened = loosenFolder ? fs::path(state.path()) : fs::path(file);
    // Where every writable file reads as writable by all (Windows' flags),
    // there is no such bit to set.
    if ((fs::status(loosened).permissions() & fs::perms::others_write) != fs::perms::none) {
      GTEST_SKIP() << "this system keeps no write bit for others";
    }
    fs::permissions(loosened, fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(LoadCodePageSetting(state.path()), "") << (loosenFolder ? "folder" : "file");
    fs::permissions(loosened, fs::perms::others_write, fs::perm_options::remove);
  }
}

TEST(CodePageSettingTest, TheChoiceIsKeptAndReadBackAndMissingFileIsTheDefault) {
  test::TempFolder root;
  const std::string state = root / "state";
  test::FakeWindow window;
  test::MemoryFileStore store;
  MainWindowLogic logic{window, store};
  EXPECT_EQ(LoadCodePageSetting(state), "");
  logic.OnCodePageChosen("ISO-8859-7", state);
  EXPECT_EQ(LoadCodePageSetting(state), "ISO-8859-7");
  logic.OnCodePageChosen("", state);
  EXPECT_EQ(LoadCodePageSetting(state), "");
  EXPECT_TRUE(window.messages.empty());
}

TEST(CodePageSettingTest, AChoiceThatCannotBeKeptHoldsAndTheBoxSaysWhy) {
  test::TempFolder root;
  const std::string notAFolder = root / "state";
  test::WriteFile(notAFolder, "");
  test::FakeWindow window;
  test::MemoryFileStore store;
  MainWindowLogic logic{window, store};
  logic.OnCodePageChosen("KOI8-R", notAFolder);
  EXPECT_EQ(logic.RunOptions().encoding.legacy, "KOI8-R");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].style, MessageStyle::kExclamation);
  EXPECT_EQ(window.messages[0].details.rfind(notAFolder + ": ", 0), 0u)
      << window.messages[0].details;
}

}  // namespace
}  // namespace quillmere
