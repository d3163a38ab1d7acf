#pragma once

#include <QString>
#include <QWidget>

namespace quillmere {

// Speaks a text to a screen reader without moving the focus: a notification
// object that lies under the status line, draws nothing and takes no input.
// Each announcement gives it the text as its name and shows it anew, and
// screen readers read a notification when it shows.
class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);

  void Announce(const QString& text);
  // The last text announced.
  QString text() const { return text_; }

 private:
  QString text_;
};

}  // namespace quillmere
