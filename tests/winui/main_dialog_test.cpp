// The main window while idle, driven through its messages: what it opens
// with, the system menu, the About and help boxes, typing and the preset,
// the open-file dialog, and the ways it closes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cleaning_groups.h"
#include "little_help.h"
#include "modal_watcher.h"
#include "resource_ids.h"
#include "test_files.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using test::ModalWatcher;
using test::SeenBox;
using test::WindowUnderTest;
using ::testing::ElementsAre;

const std::vector<std::wstring> kAboutTexts = {
    L"Quillmere Version 1.0.9", L"Free software, no warranty.", L"https://quillmere.example.org",
    L"For the latest version turn to:"};

std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

TEST(MainDialog, OpensCentredWithItsTextsEverythingClearAndTheFocusInTheList) {
  const WindowUnderTest window;
  EXPECT_EQ(WindowText(window.hwnd()), L"Quillmere");
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"OK. Drag and drop files.");
  EXPECT_EQ(WindowText(window.Item(ids::kPercentLabel)), L"0 %");
  EXPECT_EQ(WindowText(window.Item(ids::kStart)), L"START");
  EXPECT_EQ(SendMessageW(window.Item(ids::kProgressBar), PBM_GETPOS, 0, 0), 0);
  for (const CleaningGroup& group : CleaningGroups()) {
    EXPECT_FALSE(test::Ticked(window.Item(group.controlId))) << group.caption;
    for (int i = 0; i < group.textCount; ++i) {
      EXPECT_EQ(WindowText(window.Item(group.textControlIds[i])), L"");
    }
  }
  EXPECT_EQ(GetFocus(), window.Item(ids::kFileList));
  EXPECT_NE(SendMessageW(window.hwnd(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_NE(SendMessageW(window.hwnd(), WM_QUERYDRAGICON, 0, 0), 0);

  RECT own{};
  GetWindowRect(window.hwnd(), &own);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_NEAR(own.left + own.right, monitor.rcWork.left + monitor.rcWork.right, 1);
  EXPECT_NEAR(own.top + own.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);
}

TEST(MainDialog, TheSystemMenuEndsInTheAboutItemAndGraysMoveSizeAndMaximize) {
  const WindowUnderTest window;
  const HMENU menu = GetSystemMenu(window.hwnd(), FALSE);
  ASSERT_NE(menu, nullptr);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 6);
  EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuText(menu, count - 1), L"&About ...");
  EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(ids::kIdmAbout));
  for (const UINT position : {1u, 2u, 4u}) {
    EXPECT_NE(GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED, 0u) << position;
  }
  EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION) & MF_GRAYED, 0u);  // Minimize
  // The menu enables SC_MOVE again whenever it opens: Move keeps its text
  // under a command of its own.
  EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(MenuText(menu, 1), L"&Move");
}

// The system menu's item and the label open the same box.
TEST(MainDialog, TheAboutItemAndTheAboutLabelOpenTheAboutBox) {
  const WindowUnderTest window;
  const ModalWatcher watcher(window.hwnd());
  SendMessageW(window.hwnd(), WM_SYSCOMMAND, ids::kIdmAbout, 0);
  test::ClickLabel(window.Item(ids::kAboutLabel));
  ASSERT_EQ(watcher.seen().size(), 2u);
  for (const SeenBox& box : watcher.seen()) {
    EXPECT_EQ(box.caption, L"Quillmere");
    EXPECT_EQ(box.texts, kAboutTexts);
    EXPECT_THAT(box.buttons, ElementsAre(L"OK"));
    EXPECT_TRUE(box.hasIcon);
  }
}

TEST(MainDialog, TheHelpLabelAndF1ShowTheTwoHelpBoxesInTurn) {
  const WindowUnderTest window;
  const Translator asWritten = [](const char* text) { return std::string(text); };
  const auto boxes = LittleHelpBoxes(asWritten);
  const ModalWatcher watcher(window.hwnd());
  test::ClickLabel(window.Item(ids::kHelpLabel));
  // F1 as the keyboard sends it, to the window with the focus.
  SetForegroundWindow(window.hwnd());
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
  test::Pump();
  ASSERT_EQ(watcher.seen().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const SeenBox& seen = watcher.seen()[i];
    EXPECT_EQ(seen.caption, test::Wide(boxes[i % 2].caption));
    ASSERT_EQ(seen.texts.size(), 1u);
    // A message box may drop the text's final line end.
    std::wstring expected = test::Wide(boxes[i % 2].text);
    EXPECT_EQ(seen.texts[0], expected.substr(0, seen.texts[0].size()));
    EXPECT_GE(seen.texts[0].size() + 2, expected.size());
    EXPECT_FALSE(seen.hasIcon);
    EXPECT_THAT(seen.buttons, ElementsAre(L"OK"));
  }
}

TEST(MainDialog, TypedTextStaysWhenThePresetTicksItsBoxes) {
  const WindowUnderTest window;
  test::Type(window.Item(ids::kSearchText), L"caf\u00e9");
  test::Click(window.Item(ids::kRemoveTextEnabled));
  test::Click(window.Item(ids::kPdaPreset));
  for (const CleaningGroup& group : CleaningGroups()) {
    const bool ticked = group.inPdaPreset || group.controlId == ids::kPdaPreset ||
                        group.controlId == ids::kRemoveTextEnabled;
    EXPECT_EQ(test::Ticked(window.Item(group.controlId)), ticked) << group.caption;
  }
  EXPECT_EQ(WindowText(window.Item(ids::kSearchText)), L"caf\u00e9");
  test::Click(window.Item(ids::kPdaPreset));
  EXPECT_FALSE(test::Ticked(window.Item(ids::kConvertTables)));
  EXPECT_TRUE(test::Ticked(window.Item(ids::kRemoveTextEnabled)));
}

// The texts reach each file in its own encoding, so a field takes any
// character, whatever the ANSI code page.
TEST(MainDialog, ACleaningTextTakesAnyCharacter) {
  const WindowUnderTest window;
  const HWND field = window.Item(ids::kRemoveText);
  test::Type(field, L"a\u03b1b\u65e5\u03a9");  // alpha, a Japanese sign, omega
  EXPECT_EQ(WindowText(field), L"a\u03b1b\u65e5\u03a9");
}

TEST(MainDialog, StartOnAnEmptyListAsksForFiles) {
  const WindowUnderTest window;
  const ModalWatcher watcher(window.hwnd());
  test::Click(window.Item(ids::kStart));
  ASSERT_EQ(watcher.seen().size(), 1u);
  EXPECT_EQ(watcher.seen()[0].caption, L"Quillmere");
  EXPECT_THAT(watcher.seen()[0].texts, ElementsAre(L"Select files !"));
  EXPECT_EQ(WindowText(window.Item(ids::kStart)), L"START");
}

// The system's open-file dialog: the four filters, the first chosen, and a
// selection of several files typed into it, listed newest first.
TEST(MainDialog, AddFilesOpensTheSystemsDialogWithItsFiltersAndListsTheChoice) {
  test::TempFolder folder;
  test::WriteFile(folder / "a.htm", "a");
  test::WriteFile(folder / "b.txt", "b");
  SetCurrentDirectoryW(test::Wide(folder.path()).c_str());
  const WindowUnderTest window;
  std::vector<std::wstring> filters;
  int chosen = -1;
  const ModalWatcher watcher(window.hwnd(), [&](HWND box, const SeenBox&) {
    const HWND types = GetDlgItem(box, cmb1);
    chosen = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < SendMessageW(types, CB_GETCOUNT, 0, 0); ++i) {
      std::wstring text(256, L'\0');
      text.resize(static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                                        reinterpret_cast<LPARAM>(text.data()))));
      filters.push_back(text);
    }
    const HWND name =
        GetDlgItem(box, cmb13) != nullptr ? GetDlgItem(box, cmb13) : GetDlgItem(box, edt1);
    SetWindowTextW(name, L"\"a.htm\" \"b.txt\"");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  test::Click(window.Item(ids::kAddFiles));
  EXPECT_THAT(filters,
              ElementsAre(L"HTML soubory (*.htm*)", L"Textov\u00e9 soubory (*.txt)",
                          L"HTML a textov\u00e9 soubory (*.htm* *.txt)", L"All Files (*.*)"));
  EXPECT_EQ(chosen, 0);
  EXPECT_THAT(test::ListItems(window.Item(ids::kFileList)),
              ElementsAre(test::Wide(folder / "b.txt"), test::Wide(folder / "a.htm")));
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"OK.Selected files : 2");
  SetCurrentDirectoryW(L"C:\\");  // lets the folder go
}

// Every box opened over the window gives the focus back where it was, with
// the window active; a run takes it to "Add files" at its end.
TEST(MainDialog, TheFocusComesBackWhereItWasAfterEveryBox) {
  test::TempFolder folder;
  const std::string page = folder / "page.htm";
  test::WriteFile(page, "<font>x</font>");
  struct Case {
    const char* name;
    int focused;  // the control that has the focus when the box opens
    int after;    // and where it is when the box has closed
    std::function<void(const WindowUnderTest&)> open;
  };
  const Case cases[] = {
      {"About label", ids::kCaseSensitive, ids::kCaseSensitive,
       [](const WindowUnderTest& w) { test::ClickLabel(w.Item(ids::kAboutLabel)); }},
      {"system menu's About", ids::kRemoveText, ids::kRemoveText,
       [](const WindowUnderTest& w) { SendMessageW(w.hwnd(), WM_SYSCOMMAND, ids::kIdmAbout, 0); }},
      {"help label", ids::kCaseSensitive, ids::kCaseSensitive,
       [](const WindowUnderTest& w) { test::ClickLabel(w.Item(ids::kHelpLabel)); }},
      {"preview", ids::kFileList, ids::kFileList,
       [](const WindowUnderTest& w) {
         LVITEMW focus{};
         focus.stateMask = focus.state = LVIS_FOCUSED;
         SendMessageW(w.Item(ids::kFileList), LVM_SETITEMSTATE, 0,
                      reinterpret_cast<LPARAM>(&focus));
         test::PressKey(w.Item(ids::kFileList), 'P', {VK_CONTROL, VK_SHIFT});
       }},
      {"open-file dialog", ids::kAddFiles, ids::kAddFiles,
       [](const WindowUnderTest& w) { test::Click(w.Item(ids::kAddFiles)); }},
      {"error box in a run", ids::kStart, ids::kAddFiles,
       [&](const WindowUnderTest& w) {
         test::Drop(w.hwnd(), {folder / "missing.htm"});
         test::Click(w.Item(ids::kStart));
       }},
  };
  for (const Case& c : cases) {
    const WindowUnderTest window;
    test::Drop(window.hwnd(), {page});
    SetForegroundWindow(window.hwnd());
    SetFocus(window.Item(c.focused));
    const ModalWatcher watcher(window.hwnd(), [](HWND box, const SeenBox&) {
      // OK where there is one; the open-file dialog and the preview are closed.
      const HWND ok = GetDlgItem(box, IDOK);
      const bool openFile = GetDlgItem(box, cmb1) != nullptr;
      PostMessageW(box, WM_COMMAND,
                   !openFile && ok != nullptr && IsWindowVisible(ok) ? IDOK : IDCANCEL, 0);
    });
    c.open(window);
    test::Pump();
    EXPECT_FALSE(watcher.seen().empty()) << c.name;
    EXPECT_EQ(GetActiveWindow(), window.hwnd()) << c.name;
    EXPECT_EQ(GetFocus(), window.Item(c.after)) << c.name;
  }
}

// Exit ends the modal run with OK; Escape and the close box with cancel.
TEST(MainDialog, ExitEscapeAndTheCloseBoxEndTheWindowWhileIdle) {
  struct Case {
    const char* name;
    INT_PTR expected;
    std::function<void(HWND)> act;
  };
  const Case cases[] = {
      {"Exit", IDOK, [](HWND w) { test::Click(GetDlgItem(w, ids::kExit)); }},
      {"Escape", IDCANCEL,
       [](HWND w) { PostMessageW(GetDlgItem(w, ids::kAddFiles), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close box", IDCANCEL, [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Case& c : cases) {
    CMainDlg window;
    static const Case* current = nullptr;
    current = &c;
    // Acts once the modal loop runs, from a timer that loop dispatches.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      HWND main = FindWindowW(nullptr, L"Quillmere");
      if (main != nullptr) current->act(main);
    });
    EXPECT_EQ(window.RunModal(), c.expected) << c.name;
    KillTimer(nullptr, timer);
  }
}

}  // namespace
}  // namespace quillmere
