// Runs of the main window on real files, started and stopped through its
// messages: drops with names from outside the ANSI code page, the error box,
// STOP at file 3 of 10 with everything else refused meanwhile, the last run
// undone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>

#include "control_lock.h"
#include "manual_clock.h"
#include "modal_watcher.h"
#include "resource_ids.h"
#include "test_files.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using test::ModalWatcher;
using test::WindowUnderTest;
using ::testing::ElementsAre;
using ::testing::StartsWith;

// Greek and Japanese: outside code page 1252, the Greek outside 932 too.
const std::string kGreek = "\xce\xba\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1.htm";
const std::string kJapanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.htm";

TEST(MainDialogRun, DroppedFilesWithUnicodeNamesAreCleanedAndAMissingOneIsReported) {
  test::TempFolder folder;
  const std::string greek = folder / kGreek;
  const std::string japanese = folder / kJapanese;
  const std::string missing = folder / "missing.htm";
  test::WriteFile(greek, "<p>Colour</p>");
  test::WriteFile(japanese, "no change");
  const WindowUnderTest window;
  test::Drop(window.hwnd(), {greek, japanese, missing, greek});
  EXPECT_THAT(test::ListItems(window.Item(ids::kFileList)),
              ElementsAre(test::Wide(missing), test::Wide(japanese), test::Wide(greek)));
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"OK.Selected files : 3");

  test::Click(window.Item(ids::kSearchEnabled));
  test::Type(window.Item(ids::kSearchText), L"Colour");
  test::Type(window.Item(ids::kReplaceText), L"Color");
  const ModalWatcher watcher(window.hwnd());
  test::Click(window.Item(ids::kStart));

  EXPECT_EQ(test::ReadFile(greek), "<p>Color</p>");
  EXPECT_EQ(test::ReadFile(japanese), "no change");
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_EQ(watcher.seen()[0].caption, L"");
  EXPECT_TRUE(watcher.seen()[0].hasIcon);
  ASSERT_EQ(watcher.seen()[0].texts.size(), 1u);
  // The exact message on the first line, the reason below it.
  EXPECT_EQ(watcher.seen()[0].texts[0],
            L"File open error: " + test::Wide(missing) + L"\n\nnot found");
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)),
            L"OK. Files : 3, Replaced files : 1, Errors : 1");
  EXPECT_EQ(WindowText(window.Item(ids::kPercentLabel)), L"0 %");
  EXPECT_EQ(WindowText(window.Item(ids::kStart)), L"START");
  EXPECT_TRUE(IsWindowEnabled(window.Item(ids::kAddFiles)));
}

// A Greek search text typed into the field reaches a UTF-8 page with its
// byte order mark and a UTF-16 page, each written back in its own encoding.
TEST(MainDialogRun, AGreekSearchTextCleansEachFileInItsOwnEncoding) {
  using namespace std::string_literals;
  test::TempFolder folder;
  const std::string utf8 = folder / "bom.htm";
  const std::string wide = folder / "wide.htm";
  test::WriteFile(utf8, "\xEF\xBB\xBF<p>\xCE\xB1</p>");
  test::WriteFile(wide, "\xFF\xFE\xB1\x03\r\0\n\0"s);
  const WindowUnderTest window;
  test::Drop(window.hwnd(), {utf8, wide});
  test::Click(window.Item(ids::kSearchEnabled));
  test::Type(window.Item(ids::kSearchText), L"\u03b1");
  test::Type(window.Item(ids::kReplaceText), L"a");
  const ModalWatcher watcher(window.hwnd());
  test::Click(window.Item(ids::kStart));

  EXPECT_EQ(test::ReadFile(utf8), "\xEF\xBB\xBF<p>a</p>");
  EXPECT_EQ(test::ReadFile(wide),
            "\xFF\xFE"
            "a\0\r\0\n\0"s);
  EXPECT_TRUE(watcher.seen().empty());
}

// Screen readers hear of the end of a run through the status line, a live
// region whose change is reported once.
std::vector<HWND> liveRegionChanges;

void CALLBACK OnLiveRegionChanged(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
  liveRegionChanges.push_back(window);
}

TEST(MainDialogRun, TheEndOfARunIsAnnouncedThroughTheStatusLine) {
  test::TempFolder folder;
  const std::string page = folder / "a.htm";
  test::WriteFile(page, "<p>x</p>");
  const WindowUnderTest window;
  test::Drop(window.hwnd(), {page});
  liveRegionChanges.clear();
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                      OnLiveRegionChanged, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  test::Click(window.Item(ids::kStart));
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  UnhookWinEvent(hook);
  EXPECT_EQ(liveRegionChanges, std::vector<HWND>{window.Item(ids::kStatusLine)});
}

// The error box: OK, "Stop the run" and "Don't show again in this run". A
// Space held down since before it (a repeat, then the release) does not
// answer it; "Stop the run" ends the run after the failed file.
TEST(MainDialogRun, AnErrorBoxIgnoresAKeyHeldFromBeforeAndCanStopTheRun) {
  test::TempFolder folder;
  const std::string good = folder / "good.htm";
  test::WriteFile(good, "<b>x</b>");
  const WindowUnderTest window;
  test::Drop(window.hwnd(), {good, folder / "missing.htm"});
  bool answeredByTheHeldKey = true;
  const ModalWatcher watcher(window.hwnd(), [&](HWND box, const test::SeenBox&) {
    const HWND ok = GetDlgItem(box, IDOK);
    const LPARAM heldSpace = 1 | (MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC) << 16) | (1L << 30);
    PostMessageW(ok, WM_KEYDOWN, VK_SPACE, heldSpace);
    PostMessageW(ok, WM_KEYUP, VK_SPACE, heldSpace | (1UL << 31));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(box, &message)) DispatchMessageW(&message);
    }
    answeredByTheHeldKey = !IsWindowVisible(box);
    test::ClickButtonNamed(box, L"Stop the run");
  });
  test::Click(window.Item(ids::kStart));
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_FALSE(answeredByTheHeldKey);
  std::vector<std::wstring> buttons = watcher.seen()[0].buttons;
  std::sort(buttons.begin(), buttons.end());
  EXPECT_THAT(buttons, ElementsAre(L"Don't show again in this run", L"OK", L"Stop the run"));
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)),
            L"Stopped. Files : 2, Done : 1, Replaced files : 0, Errors : 1");
}

// While a run goes on: the locked controls are disabled, and closing, Escape,
// moving, the About item and drops are refused; minimising works. STOP taken
// at the 3rd of 10 files: the 3rd is still cleaned, the 4th never opened.
TEST(MainDialogRun, StopAtTheThirdOfTenFilesWithEverythingElseRefusedMeanwhile) {
  test::TempFolder folder;
  std::vector<std::string> files;
  for (int i = 0; i < 10; ++i) {
    files.push_back(folder / ("f" + std::to_string(i) + ".htm"));
    test::WriteFile(files.back(), "<b>x</b>");
  }
  HWND main = nullptr;
  std::vector<int> stillEnabled;
  bool minimised = false;
  const auto duringRun = [&](int loads, const std::string&) {
    if (loads != 1) return;
    for (const int id : LockedControls()) {
      if (IsWindowEnabled(GetDlgItem(main, id))) stillEnabled.push_back(id);
    }
    const HWND start = GetDlgItem(main, ids::kStart);
    PostMessageW(main, WM_CLOSE, 0, 0);
    PostMessageW(start, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_MOVE | 2, 0);
    PostMessageW(main, WM_SYSCOMMAND, ids::kIdmAbout, 0);
    PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({L"C:\\x.htm"})), 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // Taken at the next file's draining: the 3rd.
    PostMessageW(start, BM_CLICK, 0, 0);
  };
  const auto afterMinimise = [&](int loads, const std::string& path) {
    duringRun(loads, path);
    if (loads == 2) {
      minimised = IsIconic(main) != FALSE;
      SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
  };
  const WindowUnderTest window(afterMinimise);
  main = window.hwnd();
  std::vector<std::string> dropped(files.rbegin(), files.rend());  // run order f0 .. f9
  test::Drop(main, dropped);
  test::Click(window.Item(ids::kRemoveFonts));
  const ModalWatcher watcher(main);
  test::Click(window.Item(ids::kStart));

  EXPECT_THAT(stillEnabled, ElementsAre());
  EXPECT_TRUE(minimised);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_THAT(watcher.seen(), ElementsAre());  // no About box, no error
  EXPECT_FALSE(window.dialog().result().has_value());
  EXPECT_TRUE(IsWindow(main));
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(test::ReadFile(files[static_cast<std::size_t>(i)]), i < 3 ? "x" : "<b>x</b>") << i;
  EXPECT_EQ(test::ListItems(window.Item(ids::kFileList)).size(), 10u);
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)),
            L"Stopped. Files : 10, Done : 3, Replaced files : 3, Errors : 0");
  EXPECT_EQ(WindowText(window.Item(ids::kPercentLabel)), L"30 %");
  EXPECT_EQ(SendMessageW(window.Item(ids::kProgressBar), PBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(WindowText(window.Item(ids::kStart)), L"START");
  EXPECT_TRUE(IsWindowEnabled(window.Item(ids::kExit)));

  // Once idle the same close request ends the window.
  SendMessageW(main, WM_CLOSE, 0, 0);
  test::Pump();
  EXPECT_EQ(window.dialog().result(), IDCANCEL);
}

// A press on START that began during the run and ends after it was meant as
// STOP: its click starts no new run.
TEST(MainDialogRun, APressBegunDuringARunStartsNoRunWhenReleasedAfterIt) {
  test::TempFolder folder;
  test::WriteFile(folder / "a.htm", "a");
  int loads = 0;
  HWND start = nullptr;
  WindowUnderTest window([&](int, const std::string&) {
    ++loads;
    PostMessageW(start, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  });
  test::ManualClock clock;
  window.dialog().logic().SetClock(clock.Function());
  start = window.Item(ids::kStart);
  test::Drop(window.hwnd(), {folder / "a.htm"});
  test::Click(start);
  ASSERT_EQ(loads, 1);
  // Past the quiet time after a run: only the press's start holds the click.
  clock.Advance(MainWindowLogic::kStartQuietTime);
  SendMessageW(start, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  test::Pump();
  EXPECT_EQ(loads, 1);
  test::Click(start);  // a whole click after the run starts one
  EXPECT_EQ(loads, 2);
}

// The id of the box's default push button, or 0.
int DefaultButton(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return GetDlgCtrlID(child);
  }
  return 0;
}

// Two runs over two files, then "Undo last run" answered Yes: the last run's
// file alone is put back.
TEST(MainDialogRun, UndoLastRunAsksThenPutsBackWhatTheLastRunAloneChanged) {
  const std::pair<const char*, std::function<void(HWND list)>> ways[] = {
      {"Ctrl+Shift+Z",
       [](HWND list) {
         test::PressKey(list, 'Z', {VK_CONTROL, VK_SHIFT});
       }},
      {"the list's menu", [](HWND list) { test::ChooseFromListMenu(list, 6); }},
  };
  for (const auto& [name, undo] : ways) {
    SCOPED_TRACE(name);
    test::TempFolder folder;
    const std::string first = folder / "first.htm";
    const std::string second = folder / "second.htm";
    test::WriteFile(first, "aXb");
    test::WriteFile(second, "cXd");
    WindowUnderTest window;
    test::ManualClock clock;
    window.dialog().logic().SetClock(clock.Function());
    test::Click(window.Item(ids::kRemoveTextEnabled));
    test::Type(window.Item(ids::kRemoveText), L"X");
    for (const std::string& path : {first, second}) {
      test::Click(window.Item(ids::kClear));
      test::Drop(window.hwnd(), {path});
      clock.Advance(std::chrono::seconds(2));
      test::Click(window.Item(ids::kStart));
    }
    ASSERT_EQ(test::ReadFile(second), "cd");

    int defaultButton = 0;
    const ModalWatcher watcher(window.hwnd(), [&](HWND box, const test::SeenBox&) {
      defaultButton = DefaultButton(box);
      PostMessageW(box, WM_COMMAND, IDYES, 0);
    });
    test::PressKey(window.Item(ids::kFileList), 'Z', {VK_CONTROL});  // not the window's
    EXPECT_THAT(watcher.seen(), ElementsAre());
    undo(window.Item(ids::kFileList));

    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].caption, L"Quillmere");
    EXPECT_TRUE(watcher.seen()[0].hasIcon);
    ASSERT_EQ(watcher.seen()[0].texts.size(), 1u);
    EXPECT_THAT(watcher.seen()[0].texts[0],
                StartsWith(L"Put back the 1 file the last run changed, on "));
    EXPECT_EQ(defaultButton, IDNO);
    EXPECT_EQ(test::ReadFile(second), "cXd");
    EXPECT_EQ(test::ReadFile(first), "ab");
    EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"Undone : 1 file, left alone : 0");
  }
}

}  // namespace
}  // namespace quillmere
