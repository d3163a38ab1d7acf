#include "main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <thread>
#include <unordered_map>

#include "about_box.h"
#include "caption_fit.h"
#include "cleaning_groups.h"
#include "code_page_box.h"
#include "code_page_setting.h"
#include "described_list.h"
#include "dropped_files.h"
#include "little_help.h"
#include "preview_dialog.h"
#include "resource_ids.h"
#include "system_command.h"
#include "system_files.h"
#include "system_menu.h"
#include "texts.h"
#include "win_text.h"
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

// Ctrl+Z stays the edit fields' own undo.
const std::vector<ACCEL> kWindowKeys{
    {FVIRTKEY | FCONTROL | FSHIFT, 'Z', static_cast<WORD>(ids::kIdmUndoLastRun)},
    {FVIRTKEY | FCONTROL | FSHIFT, 'P', static_cast<WORD>(ids::kIdmPreview)}};

// Where a menu opened from the keyboard goes: below the list's focused item,
// or at its top left corner.
POINT KeyboardMenuPoint(HWND list) {
  RECT place{};
  const auto focused =
      static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  place.left = LVIR_LABEL;
  if (focused < 0 || !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                   reinterpret_cast<LPARAM>(&place))) {
    place = {};
  }
  POINT at{place.left, place.bottom};
  ClientToScreen(list, &at);
  return at;
}

}  // namespace

CMainDlg::CMainDlg(std::unique_ptr<FileStore> files)
    : ownFiles_(files == nullptr),
      files_(files ? std::move(files) : MakeSystemFileStore()),
      journal_(*files_) {}

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
bool CMainDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
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
    case WM_CONTEXTMENU: {
      const auto from = reinterpret_cast<HWND>(wParam);
      if (from != GetDlgItem(hwnd_, ids::kFileList)) return false;
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // From the keyboard (Shift+F10, the menu key) both coordinates are -1.
      OnListMenu(from, at, at.x == -1 && at.y == -1);
      return true;
    }
    case WM_NOTIFY:
      return OnListNotice(*reinterpret_cast<NMHDR*>(lParam));
    case WM_NCDESTROY:
      keys_.reset();
      return false;
    default:
      return false;
  }
}

void CMainDlg::OnInitWindow() {
  services_.emplace(hwnd_);
  logic_.emplace(*services_, journal_);
  // The system's files take a worker per core; a store given for tests is
  // shared by nobody.
  if (ownFiles_) {
    logic_->RunOnWorkers(MakeSystemFileStore,
                         static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
  }
  logic_->SetLegacyCodePage(LoadCodePageSetting(DefaultStateFolder()));
  keys_.emplace(hwnd_, kWindowKeys);
  const HWND list = GetDlgItem(hwnd_, ids::kFileList);
  list_.emplace(list);
  keyboardTip_.emplace(list);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
  DescribeListItems(list, [this](int item) -> std::optional<std::wstring> {
    const std::optional<std::string> reason = list_->FailureOf(list_->PathOf(item));
    if (!reason) return std::nullopt;
    return ShownWide(*reason);
  });
  InstallSystemMenu(hwnd_);
  bigIcon_ = LoadAppIcon(SM_CXICON, SM_CYICON);
  smallIcon_ = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  SetWindowSubclass(GetDlgItem(hwnd_, ids::kStart), StartButtonProc, 0,
                    reinterpret_cast<DWORD_PTR>(this));
  FitCaptions(hwnd_);
  logic_->OnInitWindow();
  ShowWholeLinesOnly(GetDlgItem(hwnd_, ids::kStatusLine));
  CentreWindow(hwnd_, nullptr);
}

void CMainDlg::OnCommand(int id, int code) {
  // From the list's menu (code 0) or its key (code 1).
  switch (id) {
    case ids::kIdmUndoLastRun:
      logic_->OnUndoLastRun();
      ShowFailures();
      return;
    case ids::kIdmAddFolder:
      OnAddFolder();
      return;
    case ids::kIdmRemoveSelected:
      OnRemoveSelected();
      return;
    case ids::kIdmOpenFolder:
      OnOpenFolder();
      return;
    case ids::kIdmPreview:
      if (const std::optional<std::string> path = list_->ChosenPath()) OpenPreview(*path);
      return;
    case ids::kIdmCodePage:
      OnChooseCodePage();
      return;
    default:
      break;
  }
  if (IsCleaningTextField(id)) return;
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

void CMainDlg::OnListMenu(HWND list, POINT at, bool fromKeyboard) {
  if (logic_->busy()) return;
  if (fromKeyboard) at = KeyboardMenuPoint(list);
  const HMENU menu = MakeListMenu(list_->SelectedPaths().size());
  const BOOL chosen = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                                     at.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  if (chosen != 0) OnCommand(chosen, 0);
}

bool CMainDlg::OnListNotice(NMHDR& notice) {
  if (notice.idFrom != static_cast<UINT_PTR>(ids::kFileList)) return false;
  if (notice.code == LVN_KEYDOWN) {
    if (reinterpret_cast<const NMLVKEYDOWN&>(notice).wVKey == VK_DELETE) OnRemoveSelected();
    return true;
  }
  if (notice.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
    if ((change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_FOCUSED) != 0 &&
        (change.uOldState & LVIS_FOCUSED) == 0) {
      ShowKeyboardTip(change.iItem);
    }
    return true;
  }
  if (notice.code == NM_SETFOCUS) {
    ShowKeyboardTip(static_cast<int>(
        SendMessageW(notice.hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    return true;
  }
  if (notice.code == NM_KILLFOCUS || notice.code == LVN_BEGINSCROLL) {
    keyboardTip_->Hide();
    return true;
  }
  if (notice.code == NM_DBLCLK) {
    const int item = reinterpret_cast<const NMITEMACTIVATE&>(notice).iItem;
    if (item >= 0) OpenPreview(list_->PathOf(item));
    return true;
  }
  if (notice.code == LVN_GETINFOTIPW) {
    auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(notice);
    const std::wstring text = list_->TipOf(tip.iItem);
    if (tip.pszText != nullptr && tip.cchTextMax > 0) {
      const auto length =
          std::min<std::size_t>(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
      std::copy_n(text.begin(), length, tip.pszText);
      tip.pszText[length] = L'\0';
    }
    return true;
  }
  return false;
}

void CMainDlg::ShowKeyboardTip(int item) {
  const HWND list = GetDlgItem(hwnd_, ids::kFileList);
  // A click moves the focus too; the mouse has the list's own tip.
  const bool fromKeyboard = GetFocus() == list && GetKeyState(VK_LBUTTON) >= 0 &&
                            GetKeyState(VK_RBUTTON) >= 0 && GetKeyState(VK_MBUTTON) >= 0;
  if (fromKeyboard && item >= 0 && list_->FailureOf(list_->PathOf(item))) {
    keyboardTip_->Show(item, list_->TipOf(item));
  } else {
    keyboardTip_->Hide();
  }
}

void CMainDlg::OnRemoveSelected() {
  if (logic_->busy()) return;
  logic_->RemovePaths(list_->RemoveSelected());
}

void CMainDlg::OnAddFolder() {
  if (logic_->busy()) return;
  if (const std::optional<std::string> folder = ChooseFolder(hwnd_)) logic_->OnAddFolder(*folder);
}

void CMainDlg::OnOpenFolder() {
  const std::vector<std::string> selected = list_->SelectedPaths();
  if (selected.size() == 1) ShowInExplorer(selected.front());
}

void CMainDlg::OnChooseCodePage() {
  if (logic_->busy()) return;
  const std::optional<std::string> chosen = ShowCodePageBox(hwnd_, logic_->legacyCodePage());
  if (!chosen) return;
  logic_->OnCodePageChosen(*chosen, DefaultStateFolder());
}

void CMainDlg::OpenPreview(const std::string& path) {
  if (logic_->busy()) return;
  // The options as the window shows them now, as a run would take them.
  services_->ExchangeData(logic_->fields(), ExchangeDirection::kRead);
  CPreviewDlg preview(*files_, path, logic_->RunOptions());
  preview.RunModal(hwnd_);
}

void CMainDlg::ShowFailures() {
  std::unordered_map<std::string, std::string> failed;
  for (const MainWindowLogic::Failure& failure : logic_->failures()) {
    failed[failure.path] = failure.reason;
  }
  list_->SetFailures(std::move(failed));
}

void CMainDlg::OnStartClicked() {
  const bool meantAsStop = startPressedInRun_ && !running();
  startPressedInRun_ = false;
  if (meantAsStop) return;
  const bool startsRun = !running();
  if (startsRun) {
    list_->SetFailures({});
    keyboardTip_->Hide();
  }
  logic_->OnStart();
  if (!startsRun || running()) return;
  ShowFailures();
  // Away from START, so that one more Enter or Space starts nothing.
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, ids::kAddFiles)),
               TRUE);
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
