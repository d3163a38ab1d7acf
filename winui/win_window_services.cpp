#include "win_window_services.h"

#include <commctrl.h>

#include <algorithm>

#include "cleaning_groups.h"
#include "file_error_box.h"
#include "file_list_control.h"
#include "live_region.h"
#include "open_files_dialog.h"
#include "resource_ids.h"
#include "texts.h"
#include "win_text.h"

namespace quillmere {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

void SetWindowTextIfChanged(HWND window, const std::wstring& text) {
  if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

std::string Win32WindowServices::Translate(const char* text) {
  return text;
}

void Win32WindowServices::EnableControl(int id, bool enabled) {
  EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

void Win32WindowServices::SetCaption(int id, const std::string& caption) {
  SetWindowTextW(Control(id), ShownWide(caption).c_str());
}

void Win32WindowServices::ListInsertAtTop(const std::string& path) {
  std::wstring text = ShownWide(path);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = 0;
  item.pszText = text.data();
  SendMessageW(Control(ids::kFileList), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32WindowServices::ListDeleteAll() {
  SendMessageW(Control(ids::kFileList), LVM_DELETEALLITEMS, 0, 0);
}

void Win32WindowServices::ListFitColumn() {
  FileListControl(Control(ids::kFileList)).FitColumns();
}

void Win32WindowServices::SetProgress(int position) {
  SendMessageW(Control(ids::kProgressBar), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32WindowServices::ShowMessage(const std::string& text, const std::string& caption,
                                      MessageStyle style, const std::string& details) {
  // The first line stays exactly the message; the reason stands below it.
  const std::string shown = details.empty() ? text : text + "\n\n" + details;
  const UINT type = MB_OK | (style == MessageStyle::kExclamation ? MB_ICONEXCLAMATION : 0u);
  MessageBoxW(dialog_, ShownWide(shown).c_str(), ShownWide(caption).c_str(), type);
}

FailureAnswer Win32WindowServices::ShowFileError(const std::string& text,
                                                 const std::string& details) {
  return ShowFileErrorBox(dialog_, ShownWide(text), ShownWide(details));
}

bool Win32WindowServices::Confirm(const std::string& question) {
  return MessageBoxW(dialog_, ShownWide(question).c_str(), ShownWide(texts::kProgramName).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32WindowServices::Announce(const std::string& text) {
  const HWND status = Control(ids::kStatusLine);
  SetWindowTextIfChanged(status, ShownWide(text));
  AnnounceLiveRegion(status);
}

std::string Win32WindowServices::FormatTime(std::int64_t secondsSinceEpoch) {
  // File times count 100 ns steps from 1601; the epoch is 11644473600 s later.
  const auto steps = static_cast<std::uint64_t>(secondsSinceEpoch + 11644473600LL) * 10000000ULL;
  const FILETIME fileTime{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&fileTime, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return std::to_string(secondsSinceEpoch);
  }
  wchar_t date[80] = {};
  wchar_t time[80] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr);
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, time, 80);
  return ShownUtf8(std::wstring(date) + L" " + time);
}

void Win32WindowServices::DrainEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the loop outside the run ends on it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    // The dialog's keys (Escape, Enter, Tab) go through the dialog manager,
    // whose commands the window refuses while a run goes on.
    if (!IsDialogMessageW(dialog_, &message)) DispatchMessageW(&message);
  }
}

std::optional<std::vector<std::string>> Win32WindowServices::ChooseFiles() {
  return ChooseFilesToOpen(dialog_);
}

void Win32WindowServices::ExchangeData(WindowFields& fields, ExchangeDirection direction) {
  Text(ids::kStatusLine, fields.statusText, direction);
  for (const CleaningGroup& group : CleaningGroups()) {
    for (int i = 0; i < group.textCount; ++i) {
      CleaningText(group.textControlIds[i], fields.options.*group.texts[i], direction);
    }
    bool& tick = fields.options.*group.field;
    if (direction == ExchangeDirection::kRead) {
      tick = IsDlgButtonChecked(dialog_, group.controlId) == BST_CHECKED;
    } else {
      CheckDlgButton(dialog_, group.controlId, tick ? BST_CHECKED : BST_UNCHECKED);
    }
  }
  Text(ids::kPercentLabel, fields.percentText, direction);
}

void Win32WindowServices::Text(int id, std::string& text, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    text = ShownUtf8(WindowText(Control(id)));
  } else {
    SetWindowTextIfChanged(Control(id), ShownWide(text));
  }
}

void Win32WindowServices::CleaningText(int id, std::string& text, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    // The texts go to the core in UTF-8, which gives each file them in its
    // own encoding; a lone surrogate (pasted) becomes U+FFFD.
    text = ShownUtf8(WindowText(Control(id)));
  } else {
    SetWindowTextIfChanged(Control(id), ShownWide(text));
  }
}

}  // namespace quillmere
