#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "window_services.h"

namespace quillmere {

// The native main window's services: its controls by id through the dialog
// manager, the list view, the progress bar, message boxes, the open-file
// dialog and the draining of the thread's queue. Paths and the status texts
// are UTF-8; the cleaning texts in the edit fields are bytes of the ANSI code
// page, as the files' contents are.
class Win32WindowServices final : public WindowServices {
 public:
  explicit Win32WindowServices(HWND dialog) : dialog_(dialog) {}

  std::string Translate(const char* text) override;
  void EnableControl(int id, bool enabled) override;
  void SetCaption(int id, const std::string& caption) override;

  void ListInsertAtTop(const std::string& path) override;
  void ListDeleteAll() override;
  void ListFitColumn() override;

  void SetProgress(int position) override;
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  // A Yes/No question box titled with the program's name.
  bool Confirm(const std::string& question) override;
  FailureAnswer ShowFileError(const std::string& text, const std::string& details) override;
  // The user's short date and time.
  std::string FormatTime(std::int64_t secondsSinceEpoch) override;
  // The status line, which shows the text, read out as a live region.
  void Announce(const std::string& text) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

 private:
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  void Text(int id, std::string& text, ExchangeDirection direction);
  void CleaningText(int id, std::string& text, ExchangeDirection direction);

  HWND dialog_;
};

// The whole text of a window.
std::wstring WindowText(HWND window);
// Sets it, unless it is that already (which would move an edit field's caret).
void SetWindowTextIfChanged(HWND window, const std::wstring& text);

}  // namespace quillmere
