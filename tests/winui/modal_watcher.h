#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quillmere::test {

// What a modal box showed.
struct SeenBox {
  std::wstring caption;
  std::vector<std::wstring> texts;    // its static texts, in window order
  std::vector<std::wstring> buttons;  // its buttons' captions
  bool hasIcon = false;
};

// While it lives, every modal dialog box that this thread opens over
// `mainWindow` (message boxes, the About box, the open-file dialog) is
// recorded and then handled by `act`, which by default presses its OK
// button, or its first button when it has no OK. It works from a thread timer, which the box's own
// modal loop runs.
class ModalWatcher {
 public:
  using Action = std::function<void(HWND box, const SeenBox& seen)>;

  explicit ModalWatcher(HWND mainWindow, Action act = {});
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  ~ModalWatcher();

  const std::vector<SeenBox>& seen() const { return seen_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void Look();

  HWND main_;
  Action act_;
  UINT_PTR timer_;
  std::vector<SeenBox> seen_;
  HWND handling_ = nullptr;
};

// Presses the box's first button.
void PressFirstButton(HWND box);

}  // namespace quillmere::test
