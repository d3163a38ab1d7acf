#pragma once

#include <QPointer>
#include <QWidget>

namespace quillmere {

// While it lives, remembers which control of `window` has the keyboard
// focus; when it ends (a dialog opened over the window is done, and the work
// it started), the window is made the active one again and the focus goes
// back to that control, or to the window's first control that can take it.
// Closing dialogs can otherwise leave no window active and the focus
// nowhere, for instance after a completion list in the file dialog.
class FocusReturn {
 public:
  explicit FocusReturn(QWidget& window);
  ~FocusReturn();
  FocusReturn(const FocusReturn&) = delete;
  FocusReturn& operator=(const FocusReturn&) = delete;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> had_;
};

// Activates `window` and gives `control` the focus when it can take it, else
// the window's first control that can.
void ReturnFocus(QWidget& window, QWidget* control);

}  // namespace quillmere
