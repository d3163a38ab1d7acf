// The code page of older files, chosen in its box from the file list's menu
// and kept in the state folder.
#include <gtest/gtest.h>

#include <string>

#include "code_page.h"
#include "modal_watcher.h"
#include "param_name.h"
#include "resource_ids.h"
#include "test_files.h"
#include "win32_api.h"
#include "win_text.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using test::ModalWatcher;
using test::PrintTo;
using test::WindowUnderTest;

// "привет X" in windows-1251, and the same with "мир" for "привет".
constexpr const char* kHelloIn1251 = "\xEF\xF0\xE8\xE2\xE5\xF2 X";
constexpr const char* kWorldIn1251 = "\xEC\xE8\xF0 X";
constexpr int kDownsToTheItem = 5;

struct BoxCase {
  std::string name;
  std::string stored;       // the state file before the window opens; empty: none
  std::wstring shownFirst;  // the choice marked when the box opens; empty: the system's
  std::wstring pick;        // the choice the user marks
  bool ok;                  // OK, else Cancel
  std::string kept;         // the state file afterwards
  std::string afterRun;     // the windows-1251 file after a run
};

std::wstring SystemsOwn() {
  return ShownWide(SystemLegacyCodePage() + " (this system's)");
}

// The caption of the box's marked radio button.
std::wstring Marked(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) return WindowText(child);
  }
  return L"";
}

HWND ChildNamed(HWND box, const std::wstring& caption) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowText(child) == caption) return child;
  }
  return nullptr;
}

class CodePageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(CodePageBoxTest, TheBoxShowsTheKeptChoiceAndOkKeepsTheNewOne) {
  const BoxCase& c = GetParam();
  test::TempFolder folder;
  const std::string file = folder / "old.txt";
  test::WriteFile(file, kHelloIn1251);
  std::string state;
  const WindowUnderTest window({}, [&](const test::TempFolder& local) {
    test::MakeFolder(local / "quillmere");
    state = local / "quillmere\\code-page";
    if (!c.stored.empty()) test::WriteFile(state, c.stored);
  });
  test::Drop(window.hwnd(), {file});
  std::wstring shown;
  {
    const ModalWatcher watcher(window.hwnd(), [&](HWND box, const test::SeenBox&) {
      shown = Marked(box);
      if (const HWND pick = ChildNamed(box, c.pick)) SendMessageW(pick, BM_CLICK, 0, 0);
      test::ClickButtonNamed(box, c.ok ? L"OK" : L"Cancel");
    });
    test::ChooseFromListMenu(window.Item(ids::kFileList), kDownsToTheItem);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].caption, L"Code page of older files");
  }
  EXPECT_EQ(shown, c.shownFirst.empty() ? SystemsOwn() : c.shownFirst);
  EXPECT_EQ(test::ReadFile(state), c.kept);

  test::Click(window.Item(ids::kSearchEnabled));
  test::Type(window.Item(ids::kSearchText), L"\x043F\x0440\x0438\x0432\x0435\x0442");
  test::Type(window.Item(ids::kReplaceText), L"\x043C\x0438\x0440");
  const ModalWatcher quiet(window.hwnd());
  test::Click(window.Item(ids::kStart));
  EXPECT_EQ(test::ReadFile(file), c.afterRun);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageBoxTest,
    ::testing::Values(BoxCase{"OkKeepsTheChoice", "", L"", L"windows-1251", true, "windows-1251\n",
                              kWorldIn1251},
                      BoxCase{"CancelKeepsTheKeptOne", "KOI8-R\n", L"KOI8-R", L"windows-1251",
                              false, "KOI8-R\n", kHelloIn1251},
                      BoxCase{"KeptChoiceIsUsedAtOnce", "windows-1251\n", L"windows-1251",
                              L"windows-1251", false, "windows-1251\n", kWorldIn1251},
                      BoxCase{"HostileStoredValueIsTheDefault", "..\\windows-1251\xFF", L"",
                              L"KOI8-R", false, "..\\windows-1251\xFF", kHelloIn1251}),
    test::ByName{});

}  // namespace
}  // namespace quillmere
