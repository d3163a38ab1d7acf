#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>

namespace quillmere {

// Keys that send a dialog a command (WM_COMMAND, code 1) wherever its focus
// is. The dialog manager's own modal loop offers no place for
// TranslateAccelerator, so a message-filter hook, which every
// IsDialogMessage calls first, translates the dialog's keys.
class DialogKeys {
 public:
  DialogKeys(HWND dialog, const std::vector<ACCEL>& keys);
  DialogKeys(const DialogKeys&) = delete;
  DialogKeys& operator=(const DialogKeys&) = delete;
  ~DialogKeys();

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);
  bool Translate(MSG& message) const;

  HWND dialog_;
  HACCEL table_;
};

}  // namespace quillmere
