#include "preview_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "file_error.h"
#include "live_region.h"
#include "string_table.h"
#include "texts.h"
#include "win_text.h"

namespace quillmere {
namespace {

constexpr UINT_PTR kReadyTimer = 1;
constexpr UINT kReadyPoll = 30;            // ms between looks at the work under way
constexpr std::size_t kShownChars = 4000;  // of a line, in a pane
constexpr COLORREF kRemoved = RGB(255, 218, 218);
constexpr COLORREF kAdded = RGB(214, 244, 214);

// An empty template: a resizable box in the shell's dialog font, whose
// controls are made when it opens.
std::vector<WORD> EmptyTemplate(const std::wstring& title) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* box = reinterpret_cast<DLGTEMPLATE*>(words.data());
  box->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
               WS_CLIPCHILDREN | DS_SHELLFONT | DS_MODALFRAME;
  box->cx = 400;
  box->cy = 300;
  words.push_back(0);  // no menu
  words.push_back(0);  // the dialog class
  words.insert(words.end(), title.begin(), title.end());
  words.push_back(0);
  words.push_back(8);  // points
  const std::wstring font = L"MS Shell Dlg 2";
  words.insert(words.end(), font.begin(), font.end());
  words.push_back(0);
  return words;
}

std::wstring FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return ShownWide(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string Bytes(std::uint64_t count) {
  return std::to_string(count);
}

// What one group did, in words.
std::string GroupEffect(const GroupChange& change) {
  if (!change.changed) return texts::kGroupNoChange;
  if (change.after < change.before) {
    const std::uint64_t removed = change.before - change.after;
    return FormatPlaces(FormFor(texts::kGroupRemoved, removed), {Bytes(removed)});
  }
  if (change.after > change.before) {
    const std::uint64_t added = change.after - change.before;
    return FormatPlaces(FormFor(texts::kGroupAdded, added), {Bytes(added)});
  }
  return texts::kGroupSameLength;
}

FilePreview Compute(FileStore& files, const std::string& path, const CleaningOptions& options) {
  try {
    return PreviewFile(files, path, options);
  } catch (const std::bad_alloc&) {
    FilePreview failed;
    failed.error = FileError(FileProblem::kOutOfMemory);
    return failed;
  }
}

HWND MakeControl(HWND dialog, const wchar_t* type, const std::wstring& text, DWORD style, int id) {
  const HWND control = CreateWindowExW(
      0, type, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return control;
}

void AddColumn(HWND list, int index, const std::wstring& caption, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(caption.c_str());
  column.cx = width;
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, const std::string& first, const std::string& second) {
  const std::wstring texts[2] = {ShownWide(first), ShownWide(second)};
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<wchar_t*>(texts[0].c_str());
  const auto row =
      static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  item.iItem = row;
  item.iSubItem = 1;
  item.pszText = const_cast<wchar_t*>(texts[1].c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Puts the pane's caret on `line` and brings it into view.
void GoToLine(HWND pane, int line) {
  LVITEMW state{};
  state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(pane, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(pane, LVM_SETITEMSTATE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&state));
  SendMessageW(pane, LVM_ENSUREVISIBLE, static_cast<WPARAM>(line), FALSE);
}

int FontHeight(HWND window) {
  const HDC dc = GetDC(window);
  const auto previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return std::max<int>(metrics.tmHeight, 8);
}

}  // namespace

CPreviewDlg::CPreviewDlg(FileStore& files, std::string path, const CleaningOptions& options)
    : path_(std::move(path)),
      working_(std::async(std::launch::async, Compute, std::ref(files), path_, options)) {}

CPreviewDlg::~CPreviewDlg() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (textFont_ != nullptr) DeleteObject(textFont_);
}

INT_PTR CPreviewDlg::RunModal(HWND owner) {
  const std::vector<WORD> box =
      EmptyTemplate(ShownWide(FormatPlaces(texts::kPreviewTitle, {ShownUtf8(FileName(path_))})));
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                 reinterpret_cast<const DLGTEMPLATE*>(box.data()), owner,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND CPreviewDlg::OpenModeless(HWND owner) {
  const std::vector<WORD> box =
      EmptyTemplate(ShownWide(FormatPlaces(texts::kPreviewTitle, {ShownUtf8(FileName(path_))})));
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<const DLGTEMPLATE*>(box.data()), owner,
                                    DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CPreviewDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CPreviewDlg*>(lParam)->hwnd_ = dialog;
  }
  auto* self = reinterpret_cast<CPreviewDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    return FALSE;
  }
  INT_PTR result = 0;
  if (!self->Handle(message, wParam, lParam, result)) return FALSE;
  if (message == WM_INITDIALOG) return result;
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

bool CPreviewDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      result = FALSE;  // the focus is set here
      return true;
    case WM_TIMER:
      if (wParam == kReadyTimer) TakeReadyPreview();
      return true;
    case WM_SIZE:
      Layout();
      return true;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kPrevious:
          ShowPlace(place_ - 1);
          return true;
        case kNext:
          ShowPlace(place_ + 1);
          return true;
        case kClose:
          KillTimer(hwnd_, kReadyTimer);
          if (!EndDialog(hwnd_, IDCANCEL)) DestroyWindow(hwnd_);
          return true;
        default:
          return false;
      }
    case WM_NOTIFY:
      return OnNotice(*reinterpret_cast<NMHDR*>(lParam), result);
    default:
      return false;
  }
}

void CPreviewDlg::OnInit() {
  const DWORD pane = WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER |
                     LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  MakeControl(hwnd_, WC_STATICW, ShownWide(texts::kPreviewWorking), SS_NOPREFIX, kSummary);
  MakeControl(hwnd_, WC_STATICW, ShownWide(texts::kPreviewGroups), 0, kGroupsLabel);
  const HWND groups = MakeControl(hwnd_, WC_LISTVIEWW, L"",
                                  WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER, kGroups);
  const int height = FontHeight(hwnd_);
  AddColumn(groups, 0, ShownWide(texts::kPreviewGroupColumn), height * 16);
  AddColumn(groups, 1, ShownWide(texts::kPreviewChangeColumn), height * 12);
  MakeControl(hwnd_, WC_STATICW, ShownWide(texts::kPreviewBefore), 0, kBeforeLabel);
  const HWND before = MakeControl(hwnd_, WC_LISTVIEWW, L"", pane, kBefore);
  MakeControl(hwnd_, WC_STATICW, ShownWide(texts::kPreviewAfter), 0, kAfterLabel);
  const HWND after = MakeControl(hwnd_, WC_LISTVIEWW, L"", pane, kAfter);
  textFont_ = CreateFontW(-(height * 3 / 4 + 1), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          FIXED_PITCH | FF_MODERN, L"Courier New");
  for (const HWND side : {before, after}) {
    SendMessageW(side, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_), FALSE);
    SendMessageW(side, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(side, 0, L"", 0);
  }
  MakeControl(hwnd_, WC_BUTTONW, ShownWide(texts::kPreviousChange), WS_TABSTOP | WS_DISABLED,
              kPrevious);
  MakeControl(hwnd_, WC_BUTTONW, ShownWide(texts::kNextChange), WS_TABSTOP | WS_DISABLED, kNext);
  MakeControl(hwnd_, WC_STATICW, L"", SS_NOPREFIX, kPlace);
  MakeControl(hwnd_, WC_BUTTONW, ShownWide(texts::kPreviewClose), WS_TABSTOP | BS_DEFPUSHBUTTON,
              kClose);

  // Four fifths of the owner's screen, in its middle.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HWND owner = GetWindow(hwnd_, GW_OWNER);
  GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTONEAREST),
                  &monitor);
  const RECT& work = monitor.rcWork;
  const int width = (work.right - work.left) * 4 / 5;
  const int tall = (work.bottom - work.top) * 4 / 5;
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - tall) / 2, width, tall, SWP_NOZORDER);
  Layout();
  SetFocus(GetDlgItem(hwnd_, kClose));
  if (!TakeReadyPreview()) SetTimer(hwnd_, kReadyTimer, kReadyPoll, nullptr);
}

void CPreviewDlg::Layout() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int h = FontHeight(hwnd_);
  const int margin = h / 2 + 2;
  const int width = client.right - margin * 2;
  const int buttonHeight = h * 2;
  const auto place = [this](int id, int x, int y, int w, int height) {
    MoveWindow(Item(id), x, y, std::max(w, 0), std::max(height, 0), TRUE);
  };
  int y = margin;
  place(kSummary, margin, y, width, h * 2 + 2);
  y += h * 2 + margin;
  place(kGroupsLabel, margin, y, width, h + 2);
  y += h + 4;
  const int groupsHeight = GroupsHeight(h);
  place(kGroups, margin, y, width, groupsHeight);
  y += groupsHeight + margin;
  const int half = (width - margin) / 2;
  place(kBeforeLabel, margin, y, half, h + 2);
  place(kAfterLabel, margin * 2 + half, y, half, h + 2);
  y += h + 4;
  const int buttonsTop = client.bottom - margin - buttonHeight;
  place(kBefore, margin, y, half, buttonsTop - margin - y);
  place(kAfter, margin * 2 + half, y, half, buttonsTop - margin - y);
  const int button = h * 9;
  place(kPrevious, margin, buttonsTop, button, buttonHeight);
  place(kNext, margin * 2 + button, buttonsTop, button, buttonHeight);
  place(kPlace, margin * 3 + button * 2, buttonsTop + h / 2, width - button * 3 - margin * 3,
        h + 2);
  place(kClose, client.right - margin - h * 6, buttonsTop, h * 6, buttonHeight);
  for (const int pane : {kBefore, kAfter}) {
    SendMessageW(Item(pane), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
  }
}

// Every group's row in sight under the header: at most the eleven groups
// there are, so never a scroll bar.
int CPreviewDlg::GroupsHeight(int fontHeight) const {
  const HWND groups = Item(kGroups);
  const auto rows = std::max<LRESULT>(1, SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0));
  RECT row{LVIR_BOUNDS, 0, 0, fontHeight + 6};
  if (SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0) > 0) {
    SendMessageW(groups, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  }
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageW(groups, LVM_GETHEADER, 0, 0)), &header);
  return static_cast<int>(rows) * static_cast<int>(row.bottom - row.top) +
         static_cast<int>(header.bottom - header.top) + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
}

// A file that cannot be read has nothing to show side by side: the box keeps
// the summary, which says why, and Close, at their size.
void CPreviewDlg::ShowOnlyTheReason() {
  for (const int id : {kGroupsLabel, kGroups, kBeforeLabel, kBefore, kAfterLabel, kAfter, kPrevious,
                       kNext, kPlace}) {
    ShowWindow(Item(id), SW_HIDE);
  }
  const int h = FontHeight(hwnd_);
  const int margin = h / 2 + 2;
  RECT frame{0, 0, h * 36, margin * 3 + h * 2 + 2 + h * 2};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  RECT now{};
  GetWindowRect(hwnd_, &now);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(hwnd_, nullptr, now.left + (now.right - now.left - width) / 2,
               now.top + (now.bottom - now.top - height) / 2, width, height, SWP_NOZORDER);
  Layout();
  SetFocus(Item(kClose));
}

bool CPreviewDlg::TakeReadyPreview() {
  if (preview_) return true;
  if (working_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
  preview_ = working_.get();
  if (hwnd_ != nullptr) {
    KillTimer(hwnd_, kReadyTimer);
    ShowPreview();
  }
  return true;
}

void CPreviewDlg::ShowPreview() {
  const FilePreview& preview = *preview_;
  if (!preview.encoding.empty()) {
    SetWindowTextW(hwnd_, ShownWide(FormatPlaces(texts::kPreviewTitleEncoding,
                                                 {ShownUtf8(FileName(path_)), preview.encoding}))
                              .c_str());
  }
  std::string summary;
  if (preview.error) {
    summary = FormatPlaces(texts::kPreviewUnreadable, {ReasonText(*preview.error)});
  } else if (preview.places.empty() && preview.before.text() == preview.after.text()) {
    summary = texts::kPreviewNoChange;
  } else {
    const auto size = [](std::uint64_t bytes) {
      return FormatPlaces(FormFor(texts::kByteCount, bytes), {Bytes(bytes)});
    };
    summary = FormatPlaces(texts::kPreviewSummary,
                           {size(preview.before.text().size()), size(preview.after.text().size()),
                            FormatPlaces(FormFor(texts::kPlacesChange, preview.places.size()),
                                         {std::to_string(preview.places.size())})});
  }
  SetWindowTextW(Item(kSummary), ShownWide(summary).c_str());
  const HWND groups = Item(kGroups);
  SendMessageW(groups, LVM_DELETEALLITEMS, 0, 0);
  if (preview.groups.empty() && !preview.error) AddRow(groups, texts::kPreviewNoGroups, "");
  for (const GroupChange& change : preview.groups) AddRow(groups, change.name, GroupEffect(change));
  SendMessageW(Item(kBefore), LVM_SETITEMCOUNT, static_cast<WPARAM>(preview.before.lineCount()), 0);
  SendMessageW(Item(kAfter), LVM_SETITEMCOUNT, static_cast<WPARAM>(preview.after.lineCount()), 0);
  if (preview.error) {
    ShowOnlyTheReason();
    return;
  }
  Layout();
  if (!preview.places.empty()) ShowPlace(0);
  SetFocus(Item(kBefore));
}

void CPreviewDlg::ShowPlace(int index) {
  if (!preview_ || preview_->places.empty()) return;
  const int count = static_cast<int>(preview_->places.size());
  place_ = std::clamp(index, 0, count - 1);
  const ChangedLines& shown = preview_->places[static_cast<std::size_t>(place_)];
  following_ = true;
  GoToLine(Item(kBefore), std::min(PlaceStart(shown, true), preview_->before.lineCount() - 1));
  GoToLine(Item(kAfter), std::min(PlaceStart(shown, false), preview_->after.lineCount() - 1));
  following_ = false;
  SetWindowTextW(Item(kPlace),
                 ShownWide(FormatPlaces(texts::kPreviewPlace,
                                        {std::to_string(place_ + 1), std::to_string(count)}))
                     .c_str());
  AnnounceLiveRegion(Item(kPlace));
  EnableWindow(Item(kPrevious), place_ > 0);
  EnableWindow(Item(kNext), place_ + 1 < count);
}

const PreviewSide* CPreviewDlg::SideOf(UINT_PTR id) const {
  if (!preview_) return nullptr;
  if (id == static_cast<UINT_PTR>(kBefore)) return &preview_->before;
  if (id == static_cast<UINT_PTR>(kAfter)) return &preview_->after;
  return nullptr;
}

void CPreviewDlg::Follow(UINT_PTR from, int line) {
  if (following_ || !preview_) return;
  const bool fromBefore = from == static_cast<UINT_PTR>(kBefore);
  const PreviewSide& other = fromBefore ? preview_->after : preview_->before;
  if (other.lineCount() == 0) return;
  following_ = true;
  GoToLine(Item(fromBefore ? kAfter : kBefore),
           std::min(CorrespondingLine(preview_->places, line, fromBefore), other.lineCount() - 1));
  following_ = false;
}

bool CPreviewDlg::OnNotice(NMHDR& notice, INT_PTR& result) {
  const PreviewSide* side = SideOf(notice.idFrom);
  if (side == nullptr) return false;
  const bool before = notice.idFrom == static_cast<UINT_PTR>(kBefore);
  switch (notice.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(notice).item;
      if ((item.mask & LVIF_TEXT) == 0 || item.iItem >= side->lineCount()) return true;
      const std::string_view line = side->line(item.iItem);
      const wchar_t* mark = side->isChanged(item.iItem) ? (before ? L"- " : L"+ ") : L"  ";
      shownLine_ = mark + ShownWide(line.substr(0, kShownChars));
      if (line.size() > kShownChars) shownLine_ += L"\u2026";
      std::replace(shownLine_.begin(), shownLine_.end(), L'\t', L' ');
      item.pszText = shownLine_.data();
      return true;
    }
    case NM_CUSTOMDRAW: {
      auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(notice);
      if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
      } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const auto line = static_cast<int>(draw.nmcd.dwItemSpec);
        if (line < side->lineCount() && side->isChanged(line)) {
          draw.clrTextBk = before ? kRemoved : kAdded;
        }
        result = CDRF_NEWFONT;
      } else {
        result = CDRF_DODEFAULT;
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<NMLISTVIEW&>(notice);
      if ((change.uNewState & LVIS_FOCUSED) != 0 && (change.uOldState & LVIS_FOCUSED) == 0) {
        Follow(notice.idFrom, change.iItem);
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quillmere
