#include "focus_return.h"

namespace quillmere {

FocusReturn::FocusReturn(QWidget& window) : window_(&window), had_(window.focusWidget()) {}

FocusReturn::~FocusReturn() {
  if (window_) ReturnFocus(*window_, had_);
}

namespace {

bool TakesFocus(const QWidget* control) {
  return control != nullptr && control->isVisible() && control->isEnabled() &&
         (control->focusPolicy() & Qt::TabFocus) != 0;
}

}  // namespace

void ReturnFocus(QWidget& window, QWidget* control) {
  if (!window.isVisible()) return;
  window.raise();
  window.activateWindow();
  if (TakesFocus(control)) {
    control->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (TakesFocus(window.focusWidget())) return;
  for (QWidget* next = window.nextInFocusChain(); next != &window;
       next = next->nextInFocusChain()) {
    if (TakesFocus(next) && next->window() == &window) {
      next->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

}  // namespace quillmere
