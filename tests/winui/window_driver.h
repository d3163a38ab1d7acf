#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "file_store.h"
#include "main_dialog.h"
#include "win_test_files.h"  // Wide: a UTF-8 path as the system takes it

namespace quillmere::test {

// The system's file store, telling `onLoad` of each load (its 0-based count
// and path) before it happens: the point in a run at which a test acts.
class HookedStore final : public FileStore {
 public:
  using OnLoad = std::function<void(int count, const std::string& path)>;
  explicit HookedStore(OnLoad onLoad);

  LoadedFile Load(const std::string& path) override;
  LoadedFile Peek(const std::string& path) override { return store_->Peek(path); }
  std::optional<FileError> Save(const std::string& path, const std::string& text) override;
  std::optional<FileError> CheckSave(const std::string& path) override;
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override;
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override;
  void Flush() override { store_->Flush(); }
  std::optional<FileKey> KeyOf(const std::string& path) override { return store_->KeyOf(path); }

 private:
  std::unique_ptr<FileStore> store_;
  OnLoad onLoad_;
  int loads_ = 0;
};

// A fresh folder named as %LOCALAPPDATA%, where a window opened since keeps
// its runs' undo journals.
struct OwnLocalAppData {
  OwnLocalAppData();
  TempFolder folder;
};

// The real main window, opened modeless on the test's thread, with a state
// folder of its own; `beforeOpen` may put files in that folder (the new
// %LOCALAPPDATA%) before the window reads them.
class WindowUnderTest {
 public:
  explicit WindowUnderTest(HookedStore::OnLoad onLoad = {},
                           const std::function<void(const TempFolder&)>& beforeOpen = {});

  HWND hwnd() const { return dialog_.hwnd(); }
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
  const CMainDlg& dialog() const { return dialog_; }
  CMainDlg& dialog() { return dialog_; }

 private:
  OwnLocalAppData state_;
  CMainDlg dialog_;
};

// Handles every waiting message, as a modeless dialog's loop does.
void Pump();
// A mouse click on a button or check box.
void Click(HWND button);
// Presses the button of `box` with this caption, as a click would.
void ClickButtonNamed(HWND box, const std::wstring& caption);
// A click on a notifying label.
void ClickLabel(HWND label);
// Types the text into the control, one character message each.
void Type(HWND control, const std::wstring& text);
bool Ticked(HWND box);
std::vector<std::wstring> ListItems(HWND list);
// A shell drop record of these paths, as the shell hands it to WM_DROPFILES.
HDROP MakeDrop(const std::vector<std::wstring>& paths);
// The paths dropped on the window.
void Drop(HWND window, const std::vector<std::string>& paths);
// `key` pressed in `control` with `modifiers` held.
void PressKey(HWND control, WPARAM key, std::initializer_list<int> modifiers = {});
// The list's menu opened from the keyboard (Shift+F10, the menu key), and
// the item `downs` presses of the down arrow reach chosen (the menu passes
// over separators only).
void ChooseFromListMenu(HWND list, int downs);

}  // namespace quillmere::test
