#include "fresh_keys_only.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quillmere {

FreshKeysOnly::FreshKeysOnly(QWidget& window) : window_(window) {
  qApp->installEventFilter(this);
}

FreshKeysOnly::~FreshKeysOnly() {
  qApp->removeEventFilter(this);
}

bool FreshKeysOnly::eventFilter(QObject* target, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) {
    return false;
  }
  const auto* widget = qobject_cast<QWidget*>(target);
  if (widget == nullptr || (widget != &window_ && !window_.isAncestorOf(widget))) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  // A press that is not a repeat began while the window was there.
  if (type != QEvent::KeyRelease && !key->isAutoRepeat()) fresh_.insert(key->key());
  return !fresh_.contains(key->key());
}

}  // namespace quillmere
