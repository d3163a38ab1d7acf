// The native window's file list: its menu, Delete, the marks of failed
// files with their reasons in the tips, and whole paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include "file_list_control.h"
#include "manual_clock.h"
#include "modal_watcher.h"
#include "resource_ids.h"
#include "test_files.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using test::WindowUnderTest;
using ::testing::ElementsAre;
using ::testing::StartsWith;

struct MenuItem {
  std::wstring text;
  bool enabled;
  bool operator==(const MenuItem&) const = default;
};

std::vector<MenuItem> Items(HMENU menu) {
  std::vector<MenuItem> items;
  for (int at = 0; at < GetMenuItemCount(menu); ++at) {
    wchar_t text[80] = {};
    GetMenuStringW(menu, static_cast<UINT>(at), text, 80, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(at), MF_BYPOSITION);
    items.push_back({text, (state & MF_GRAYED) == 0});
  }
  return items;
}

void Select(HWND list, int item) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

std::wstring Tip(HWND dialog, int item) {
  std::wstring text(1024, L'\0');
  NMLVGETINFOTIPW tip{};
  tip.hdr.hwndFrom = GetDlgItem(dialog, ids::kFileList);
  tip.hdr.idFrom = static_cast<UINT_PTR>(ids::kFileList);
  tip.hdr.code = LVN_GETINFOTIPW;
  tip.pszText = text.data();
  tip.cchTextMax = static_cast<int>(text.size());
  tip.iItem = item;
  SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(ids::kFileList),
               reinterpret_cast<LPARAM>(&tip));
  return text.c_str();
}

int ImageOf(HWND list, int index) {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

TEST(MainDialogList, TheMenuOffersWhatTheSelectionAllows) {
  const std::vector<MenuItem> none = {{L"&Add folder...", true},
                                      {L"&Remove selected\tDel", false},
                                      {L"&Open containing folder", false},
                                      {L"&Preview changes...\tCtrl+Shift+P", false},
                                      {L"&Code page of older files...", true},
                                      {L"", false},
                                      {L"&Undo last run\tCtrl+Shift+Z", true}};
  const std::pair<std::size_t, std::vector<bool>> cases[] = {
      {0, {true, false, false, false, true, false, true}},
      {1, {true, true, true, true, true, false, true}},
      {2, {true, true, false, false, true, false, true}},
  };
  for (const auto& [selected, enabled] : cases) {
    const HMENU menu = MakeListMenu(selected);
    std::vector<MenuItem> expected = none;
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i].enabled = enabled[i];
    expected[5].enabled = Items(menu)[5].enabled;  // a separator's state says nothing
    EXPECT_EQ(Items(menu), expected) << selected;
    DestroyMenu(menu);
  }
}

TEST(MainDialogList, DeleteAndTheMenuTakeTheSelectedFilesOffAndSaySo) {
  test::TempFolder folder;
  const WindowUnderTest window;
  const HWND list = window.Item(ids::kFileList);
  test::Drop(window.hwnd(), {folder / "a.htm", folder / "b.htm", folder / "c.htm"});
  Select(list, 0);
  test::PressKey(list, VK_DELETE);
  EXPECT_THAT(test::ListItems(list),
              ElementsAre(test::Wide(folder / "b.htm"), test::Wide(folder / "a.htm")));
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"OK.Selected files : 2\nRemoved : 1 file");

  Select(list, 1);
  test::ChooseFromListMenu(list, 2);  // "Remove selected"
  EXPECT_THAT(test::ListItems(list), ElementsAre(test::Wide(folder / "b.htm")));
  EXPECT_EQ(WindowText(window.Item(ids::kStatusLine)), L"OK.Selected files : 1\nRemoved : 1 file");
  // START takes only what is left.
  EXPECT_EQ(window.dialog().logic().list().size(), 1u);
}

TEST(MainDialogList, AFailedFileIsMarkedWithItsReasonInItsTipUntilTheNextRun) {
  test::TempFolder folder;
  const std::string good = folder / "good.htm";
  const std::string missing = folder / "missing.htm";
  test::WriteFile(good, "x");
  WindowUnderTest window;
  test::ManualClock clock;
  window.dialog().logic().SetClock(clock.Function());
  const HWND list = window.Item(ids::kFileList);
  test::Drop(window.hwnd(), {good, missing});
  const test::ModalWatcher watcher(window.hwnd());
  test::Click(window.Item(ids::kStart));

  EXPECT_NE(ImageOf(list, 0), ImageOf(list, 1));  // missing.htm, on top, marked
  for (const int item : {0, 1}) {
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&label));
    const std::wstring text = test::ListItems(list)[static_cast<std::size_t>(item)];
    const auto needed =
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // The text is drawn inset in its label.
    EXPECT_GE(label.right - label.left, needed + 2 * GetSystemMetrics(SM_CXEDGE))
        << "the path is cut beside its mark";
  }
  EXPECT_EQ(Tip(window.hwnd(), 0), test::Wide(missing) + L"\nnot found");
  EXPECT_EQ(Tip(window.hwnd(), 1), test::Wide(good));
  test::WriteFile(missing, "y");
  clock.Advance(std::chrono::seconds(2));
  test::Click(window.Item(ids::kStart));
  EXPECT_EQ(Tip(window.hwnd(), 0), test::Wide(missing));
}

// The text of the tip shown under a list item, or nothing while none shows.
std::wstring ShownTip() {
  std::wstring text;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (_wcsicmp(name, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<std::wstring*>(found) = WindowText(window);
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// What a screen reader gets as the description of the list's item.
std::wstring AccessibleDescription(HWND list, int item) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"(no accessible object)";
  }
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = item + 1;
  BSTR text = nullptr;
  accessible->get_accDescription(child, &text);
  std::wstring description = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
  SysFreeString(text);
  accessible->Release();
  return description;
}

TEST(MainDialogList, AFailedFilesReasonIsItsDescriptionAndShowsWhenReachedByKeyboard) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::TempFolder folder;
  const std::string good = folder / "good.htm";
  const std::string missing = folder / "missing.htm";
  test::WriteFile(good, "x");
  WindowUnderTest window;
  const HWND list = window.Item(ids::kFileList);
  test::Drop(window.hwnd(), {good, missing});
  {
    const test::ModalWatcher watcher(window.hwnd());
    test::Click(window.Item(ids::kStart));
  }
  EXPECT_EQ(AccessibleDescription(list, 0), L"not found");  // missing.htm, on top
  EXPECT_EQ(AccessibleDescription(list, 1), L"");

  Select(list, 1);
  SetFocus(list);
  EXPECT_EQ(ShownTip(), L"");
  test::PressKey(list, VK_UP);
  EXPECT_EQ(ShownTip(), test::Wide(missing) + L"\nnot found");
  test::PressKey(list, VK_DOWN);
  EXPECT_EQ(ShownTip(), L"");
  test::PressKey(list, VK_UP);
  SetFocus(window.Item(ids::kAddFiles));
  EXPECT_EQ(ShownTip(), L"");
  if (SUCCEEDED(com)) CoUninitialize();
}

TEST(MainDialogList, CtrlShiftPAndADoubleClickPreviewTheFocusedFile) {
  test::TempFolder folder;
  const std::string page = folder / "page.htm";
  test::WriteFile(page, "<font>x</font>");
  const WindowUnderTest window;
  const HWND list = window.Item(ids::kFileList);
  test::Drop(window.hwnd(), {folder / "other.htm", page});
  LVITEMW focus{};
  focus.stateMask = LVIS_FOCUSED;
  focus.state = LVIS_FOCUSED;  // focused, not selected
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
  const test::ModalWatcher watcher(window.hwnd(), [](HWND box, const test::SeenBox&) {
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  test::PressKey(list, 'P', {VK_CONTROL, VK_SHIFT});
  NMITEMACTIVATE click{};
  click.hdr = {list, static_cast<UINT_PTR>(ids::kFileList), static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 1;
  SendMessageW(window.hwnd(), WM_NOTIFY, ids::kFileList, reinterpret_cast<LPARAM>(&click));
  ASSERT_EQ(watcher.seen().size(), 2u);
  // The encoding joins the title once the file is read, which may be later.
  EXPECT_THAT(watcher.seen()[0].caption, StartsWith(L"Preview of page.htm"));
  EXPECT_THAT(watcher.seen()[1].caption, StartsWith(L"Preview of other.htm"));
  EXPECT_EQ(test::ReadFile(page), "<font>x</font>");
}

TEST(MainDialogList, ALongPathIsShownWholeNotCutAtAFolder) {
  const WindowUnderTest window;
  const HWND list = window.Item(ids::kFileList);
  const std::string path =
      "C:\\users\\root\\Documents\\site\\" + std::string(120, 'n') + "\\page100.htm";
  test::Drop(window.hwnd(), {path});
  const std::wstring wide = test::Wide(path);
  const auto needed =
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  EXPECT_GT(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), needed);
  EXPECT_EQ(Tip(window.hwnd(), 0), wide);
}

}  // namespace
}  // namespace quillmere
