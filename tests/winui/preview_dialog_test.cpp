// The native window's preview of one file: what it tells, the marked lines
// side by side, stepping from change to change; nothing written.
#include "preview_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cleaning_groups.h"
#include "test_files.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;

std::wstring ItemText(HWND list, int item, int column = 0) {
  std::wstring text(512, L'\0');
  LVITEMW request{};
  request.iSubItem = column;
  request.pszText = text.data();
  request.cchTextMax = static_cast<int>(text.size());
  text.resize(static_cast<std::size_t>(SendMessageW(
      list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request))));
  return text;
}

std::vector<std::wstring> Lines(HWND pane) {
  std::vector<std::wstring> lines;
  const auto count = static_cast<int>(SendMessageW(pane, LVM_GETITEMCOUNT, 0, 0));
  for (int line = 0; line < count; ++line) lines.push_back(ItemText(pane, line));
  return lines;
}

class PreviewDialogTest : public ::testing::Test {
 protected:
  // The preview of `content` with the fonts group ticked, once ready.
  CPreviewDlg& Open(const std::string& content) {
    test::WriteFile(path, content);
    CleaningOptions options;
    options.removeFonts = true;
    dialog.emplace(*store, path, options);
    dialog->OpenModeless(nullptr);
    for (int wait = 0; wait < 500 && !dialog->TakeReadyPreview(); ++wait) Sleep(10);
    test::Pump();
    return *dialog;
  }

  test::TempFolder folder;
  const std::string path = folder / "page.htm";
  std::unique_ptr<FileStore> store = MakeSystemFileStore();
  std::optional<CPreviewDlg> dialog;
};

TEST_F(PreviewDialogTest, ShowsBothSidesMarkedAndStepsFromChangeToChange) {
  const std::string content = "<font size=2>one</font>\nkept\nkept\nkept\nkept\n<font>two</font>\n";
  CPreviewDlg& preview = Open(content);
  EXPECT_EQ(WindowText(preview.hwnd()), L"Preview of page.htm (UTF-8)");
  EXPECT_EQ(WindowText(preview.Item(CPreviewDlg::kSummary)),
            L"61 bytes now, 28 bytes after a run with these options; 2 places change. "
            L"Nothing is written.");
  const HWND groups = preview.Item(CPreviewDlg::kGroups);
  ASSERT_EQ(SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(ItemText(groups, 0) + L"|" + ItemText(groups, 0, 1),
            L"Type and size of fonts|33 bytes removed");
  EXPECT_THAT(Lines(preview.Item(CPreviewDlg::kBefore)),
              ElementsAre(L"- <font size=2>one</font>", L"  kept", L"  kept", L"  kept", L"  kept",
                          L"- <font>two</font>"));
  EXPECT_THAT(Lines(preview.Item(CPreviewDlg::kAfter)),
              ElementsAre(L"+ one", L"  kept", L"  kept", L"  kept", L"  kept", L"+ two"));

  EXPECT_EQ(WindowText(preview.Item(CPreviewDlg::kPlace)), L"Change 1 of 2");
  EXPECT_FALSE(IsWindowEnabled(preview.Item(CPreviewDlg::kPrevious)));
  test::Click(preview.Item(CPreviewDlg::kNext));
  EXPECT_EQ(WindowText(preview.Item(CPreviewDlg::kPlace)), L"Change 2 of 2");
  EXPECT_FALSE(IsWindowEnabled(preview.Item(CPreviewDlg::kNext)));
  EXPECT_EQ(SendMessageW(preview.Item(CPreviewDlg::kAfter), LVM_GETNEXTITEM,
                         static_cast<WPARAM>(-1), LVNI_FOCUSED),
            5);
  EXPECT_EQ(test::ReadFile(path), content);
}

TEST_F(PreviewDialogTest, AFileThatCannotBeReadOrNeedsNothingSaysSo) {
  CPreviewDlg& clean = Open("nothing to clean\n");
  EXPECT_EQ(WindowText(clean.Item(CPreviewDlg::kSummary)),
            L"A run with these options leaves this file as it is. Nothing is written.");
  test::RemoveFile(path);
  dialog.reset();
  dialog.emplace(*store, path, CleaningOptions{});
  dialog->OpenModeless(nullptr);
  for (int wait = 0; wait < 500 && !dialog->TakeReadyPreview(); ++wait) Sleep(10);
  EXPECT_EQ(WindowText(dialog->Item(CPreviewDlg::kSummary)),
            L"This file cannot be read: not found");
  EXPECT_EQ(SendMessageW(dialog->Item(CPreviewDlg::kBefore), LVM_GETITEMCOUNT, 0, 0), 0);
  // No empty panes: the reason and Close, in a box of their size.
  EXPECT_FALSE(IsWindowVisible(dialog->Item(CPreviewDlg::kBefore)));
  EXPECT_FALSE(IsWindowVisible(dialog->Item(CPreviewDlg::kGroups)));
  RECT box{};
  GetWindowRect(dialog->hwnd(), &box);
  EXPECT_LT(box.bottom - box.top, GetSystemMetrics(SM_CYSCREEN) / 2);
}

// Every group ticked: each of them in sight, with no scroll bar.
TEST_F(PreviewDialogTest, EveryGroupIsInSight) {
  test::WriteFile(path, "<font>x</font>\nkeep\n");
  CleaningOptions options;
  for (const CleaningGroup& group : CleaningGroups()) options.*group.field = true;
  options.removeText = "keep";
  dialog.emplace(*store, path, options);
  dialog->OpenModeless(nullptr);
  for (int wait = 0; wait < 500 && !dialog->TakeReadyPreview(); ++wait) Sleep(10);
  test::Pump();
  const HWND groups = dialog->Item(CPreviewDlg::kGroups);
  EXPECT_EQ(SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0), 11);
  EXPECT_EQ(GetWindowLongPtrW(groups, GWL_STYLE) & WS_VSCROLL, 0);
}

}  // namespace
}  // namespace quillmere
