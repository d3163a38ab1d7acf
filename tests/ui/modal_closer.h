#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

namespace quillmere::test {

// What a modal window looked like when it opened.
struct SeenModal {
  QString className;
  QString title;
  QString text;  // a message box's text
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QWidget* owner = nullptr;
  bool applicationModal = false;
  int visibleMessageBoxes = 0;  // message boxes on screen at that moment
  QString focusName;            // object name of the widget holding the keyboard focus
};

// While it lives, answers every modal window that opens (message boxes, the
// About box, file dialogs): records it, runs `onSeen` if given, then closes it
// the way a user would, with its OK button or by cancelling.
class ModalCloser : public QObject {
 public:
  explicit ModalCloser(std::function<void(QWidget&)> onSeen = {});

  const std::vector<SeenModal>& seen() const { return seen_; }

 private:
  void Poll();

  QTimer timer_;
  std::function<void(QWidget&)> onSeen_;
  std::vector<SeenModal> seen_;
};

}  // namespace quillmere::test
