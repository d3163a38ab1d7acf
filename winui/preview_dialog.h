#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <future>
#include <optional>
#include <string>

#include "cleaning_options.h"
#include "file_preview.h"
#include "file_store.h"

namespace quillmere {

// What a run with the window's options would do to one file, as the Qt
// window shows it: a summary, what each ticked group did in bytes, the file
// before and after side by side with the changed lines marked, and buttons
// to step from change to change. The file is read and cleaned off the
// window's thread; nothing is written.
class CPreviewDlg {
 public:
  // The dialog's controls.
  enum Control : int {
    kSummary = 100,
    kGroupsLabel,
    kGroups,
    kBeforeLabel,
    kBefore,
    kAfterLabel,
    kAfter,
    kPrevious,
    kNext,
    kPlace,
    kClose = IDCANCEL,
  };

  CPreviewDlg(FileStore& files, std::string path, const CleaningOptions& options);
  CPreviewDlg(const CPreviewDlg&) = delete;
  CPreviewDlg& operator=(const CPreviewDlg&) = delete;
  ~CPreviewDlg();

  INT_PTR RunModal(HWND owner);
  // For tests: the dialog without a loop of its own.
  HWND OpenModeless(HWND owner);

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  bool ready() const { return preview_.has_value(); }
  // Takes the preview if it is ready; true once it is shown.
  bool TakeReadyPreview();
  // Shows change `index` (0-based) in both panes.
  void ShowPlace(int index);
  int place() const { return place_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  void OnInit();
  void Layout();
  void ShowPreview();
  void ShowOnlyTheReason();
  int GroupsHeight(int fontHeight) const;
  bool OnNotice(NMHDR& notice, INT_PTR& result);
  const PreviewSide* SideOf(UINT_PTR id) const;
  // The other pane shows the line that stands where `line` of this one does.
  void Follow(UINT_PTR from, int line);

  std::string path_;
  std::future<FilePreview> working_;
  std::optional<FilePreview> preview_;
  HWND hwnd_ = nullptr;
  HFONT textFont_ = nullptr;
  std::wstring shownLine_;  // the text a pane asked for last
  int place_ = -1;
  bool following_ = false;
};

}  // namespace quillmere
