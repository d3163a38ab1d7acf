#pragma once

#include <QObject>
#include <QSet>

class QWidget;

namespace quillmere {

// While it lives, `window` takes only keys pressed after it appeared: the
// repeats and the release of a key already held down when it opened go
// nowhere, so that a key meant for the window below cannot answer it.
class FreshKeysOnly : public QObject {
 public:
  explicit FreshKeysOnly(QWidget& window);
  ~FreshKeysOnly() override;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  QWidget& window_;
  QSet<int> fresh_;  // keys pressed since the window appeared
};

}  // namespace quillmere
