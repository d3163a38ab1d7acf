#include "main_dialog.h"

#include <commctrl.h>

#include "about_box.h"
#include "ansi_edit.h"
#include "cleaning_groups.h"
#include "dropped_files.h"
#include "little_help.h"
#include "resource_ids.h"
#include "system_command.h"
#include "system_menu.h"
#include "window_placement.h"

namespace quillmere {
namespace {

HICON LoadAppIcon(int metricX, int metricY) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kAppIcon),
                                       IMAGE_ICON, GetSystemMetrics(metricX),
                                       GetSystemMetrics(metricY), 0));
}

bool IsCleaningTextField(int id) {
  for (const CleaningGroup& group : CleaningGroups()) {
    for (int i = 0; i < group.textCount; ++i) {
      if (group.textControlIds[i] == id) return true;
    }
  }
  return false;
}

}  // namespace

CMainDlg::CMainDlg(std::unique_ptr<FileStore> files)
    : files_(files ? std::move(files) : MakeSystemFileStore()) {}

CMainDlg::~CMainDlg() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

INT_PTR CMainDlg::RunModal(HWND owner) {
  modal_ = true;
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kMainTemplate), owner,
                      DialogProc, reinterpret_cast<LPARAM>(this));
  result_ = result;
  return result;
}

HWND CMainDlg::OpenModeless(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kMainTemplate), owner,
                            DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CMainDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CMainDlg*>(lParam)->hwnd_ = dialog;
  }
  auto* self = reinterpret_cast<CMainDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR result = 0;
  if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
  if (!self->Handle(message, wParam, lParam, result)) return FALSE;
  // Most messages answer through DWLP_MSGRESULT; these few by the return value.
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
      return result;
    default:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

// The event table: true when the message was handled here, with `result` its
// answer; false leaves it to the dialog manager.
bool CMainDlg::Handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitWindow();
      result = TRUE;  // the keyboard focus goes to the first tab stop, the file list
      return true;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return true;
    case WM_SYSCOMMAND:
      return OnSystemCommand(static_cast<unsigned>(wParam));
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(bigIcon_);
      return true;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return true;
    case WM_CLOSE:
      // Refused during a run; otherwise the dialog manager turns it into
      // IDCANCEL.
      return running();
    case WM_HELP:
      ShowLittleHelp(*services_);
      result = TRUE;
      return true;
    default:
      return false;
  }
}

void CMainDlg::OnInitWindow() {
  services_.emplace(hwnd_);
  logic_.emplace(*services_, *files_);
  InstallSystemMenu(hwnd_);
  bigIcon_ = LoadAppIcon(SM_CXICON, SM_CYICON);
  smallIcon_ = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  SetWindowSubclass(GetDlgItem(hwnd_, ids::kStart), StartButtonProc, 0,
                    reinterpret_cast<DWORD_PTR>(this));
  logic_->OnInitWindow();
  CentreWindow(hwnd_, nullptr);
}

void CMainDlg::OnCommand(int id, int code) {
  if (IsCleaningTextField(id)) {
    if (code == EN_CHANGE) KeepAnsiText(GetDlgItem(hwnd_, id));
    return;
  }
  // BN_CLICKED from a button and STN_CLICKED from a click label are both 0,
  // and so is a command from the keyboard or a menu.
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDOK:  // "Exit"
      if (running()) return;
      services_->ExchangeData(logic_->fields(), ExchangeDirection::kRead);
      End(IDOK);
      return;
    case IDCANCEL:  // Escape, or a close request
      if (!running()) End(IDCANCEL);
      return;
    case ids::kAddFiles:
      logic_->OnAddFiles();
      return;
    case ids::kClear:
      logic_->OnClear();
      return;
    case ids::kStart:
      OnStartClicked();
      return;
    case ids::kPdaPreset:
      logic_->ApplyPdaPreset();
      return;
    case ids::kAboutLabel:
      ShowAboutBox(hwnd_);
      return;
    case ids::kHelpLabel:
      ShowLittleHelp(*services_);
      return;
    default:
      return;
  }
}

bool CMainDlg::OnSystemCommand(unsigned command) {
  switch (DecideSystemCommand(command, running())) {
    case SystemCommandAction::kIgnore:
      return true;
    case SystemCommandAction::kShowAbout:
      ShowAboutBox(hwnd_);
      return true;
    case SystemCommandAction::kDefault:
      break;
  }
  return false;
}

// A minimised window draws its icon centred in itself.
bool CMainDlg::OnPaint() {
  if (!IsIconic(hwnd_)) return false;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd_, &paint);
  SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int width = GetSystemMetrics(SM_CXICON);
  const int height = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(hwnd_, &client);
  DrawIcon(dc, (client.right - client.left - width + 1) / 2,
           (client.bottom - client.top - height + 1) / 2, bigIcon_);
  EndPaint(hwnd_, &paint);
  return true;
}

void CMainDlg::OnDropFiles(HDROP drop) {
  if (running()) {
    DragFinish(drop);
    return;
  }
  const std::vector<std::string> paths = DroppedPaths(drop);
  DragFinish(drop);
  logic_->OnDropFiles(paths);
}

void CMainDlg::OnStartClicked() {
  const bool meantAsStop = startPressedInRun_ && !running();
  startPressedInRun_ = false;
  if (!meantAsStop) logic_->OnStart();
}

LRESULT CALLBACK CMainDlg::StartButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
      (message == WM_KEYDOWN && wParam == VK_SPACE)) {
    auto* window = reinterpret_cast<CMainDlg*>(self);
    window->startPressedInRun_ = window->running();
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(button, StartButtonProc, 0);
  return DefSubclassProc(button, message, wParam, lParam);
}

void CMainDlg::End(INT_PTR result) {
  result_ = result;
  if (modal_) {
    EndDialog(hwnd_, result);
  } else {
    DestroyWindow(hwnd_);
  }
}

}  // namespace quillmere
