#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace quillmere {

// A tip shown under a list item that was reached from the keyboard, where the
// list's own infotip (which follows the mouse) never appears. The tip window
// is made on first use and stays until hidden.
class KeyboardTip {
 public:
  explicit KeyboardTip(HWND list) : list_(list) {}
  ~KeyboardTip();
  KeyboardTip(const KeyboardTip&) = delete;
  KeyboardTip& operator=(const KeyboardTip&) = delete;

  // Shows `text` (lines split by '\n') just below the item's label.
  void Show(int item, const std::wstring& text);
  void Hide();

 private:
  void Make();

  HWND list_;
  HWND tip_ = nullptr;
  std::wstring text_;
};

}  // namespace quillmere
