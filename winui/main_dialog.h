#pragma once

#include <memory>
#include <optional>

#include "dialog_keys.h"
#include "file_list_control.h"
#include "file_store.h"
#include "keyboard_tip.h"
#include "main_window_logic.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_journal.h"

namespace quillmere {

// The main window, template 102, run by the system's dialog manager: the
// event table routes each message to the shared window logic, and guards
// what must not happen during a run (closing, moving, system commands other
// than minimise and restore, drops, undo). The file list's context menu and
// Ctrl+Shift+Z undo the last run.
class CMainDlg {
 public:
  // Without a file store the system's is used.
  explicit CMainDlg(std::unique_ptr<FileStore> files = nullptr);
  CMainDlg(const CMainDlg&) = delete;
  CMainDlg& operator=(const CMainDlg&) = delete;
  ~CMainDlg();

  // Runs the window modally until it closes: IDOK from "Exit", IDCANCEL from
  // Escape or a close request.
  INT_PTR RunModal(HWND owner = nullptr);
  // Opens the window without a loop of its own, for a caller that pumps the
  // thread's messages through IsDialogMessage; it ends the same ways, and
  // destroys itself then.
  HWND OpenModeless(HWND owner = nullptr);

  HWND hwnd() const { return hwnd_; }
  // How the window ended, once it has.
  std::optional<INT_PTR> result() const { return result_; }
  const MainWindowLogic& logic() const { return *logic_; }
  MainWindowLogic& logic() { return *logic_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK StartButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self);
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  void OnInitWindow();
  void OnCommand(int id, int code);
  bool OnSystemCommand(unsigned command);
  bool OnPaint();
  void OnDropFiles(HDROP drop);
  void OnStartClicked();
  // The file list's menu, at `at` in screen coordinates, or below the list's
  // focused item when opened from the keyboard.
  void OnListMenu(HWND list, POINT at, bool fromKeyboard);
  // The list's notices: Delete takes the selected files off, and a tip
  // shows an item's whole path and why it failed.
  bool OnListNotice(NMHDR& notice);
  // A failed file reached from the keyboard shows its tip; anything else
  // hides it.
  void ShowKeyboardTip(int item);
  void OnRemoveSelected();
  void OnAddFolder();
  void OnOpenFolder();
  // The box of the code page of older files; OK keeps the choice.
  void OnChooseCodePage();
  // What a run with the window's options would do to the file.
  void OpenPreview(const std::string& path);
  // After a run or an undo: the files it failed on are marked.
  void ShowFailures();
  void End(INT_PTR result);
  bool running() const { return logic_ && logic_->running(); }

  bool ownFiles_;  // files_ is the system's, not one given for tests
  std::unique_ptr<FileStore> files_;
  // The runs' undo journals, written as the runs save through files_.
  WindowJournal journal_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::optional<Win32WindowServices> services_;
  std::optional<MainWindowLogic> logic_;
  std::optional<DialogKeys> keys_;
  std::optional<FileListControl> list_;
  std::optional<KeyboardTip> keyboardTip_;
  // START was pressed during a run: its click, if it comes after the run,
  // was meant as STOP.
  bool startPressedInRun_ = false;
  std::optional<INT_PTR> result_;
};

}  // namespace quillmere
