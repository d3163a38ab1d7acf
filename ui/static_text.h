#pragma once

#include <QFrame>
#include <QString>

class QTextLayout;

namespace quillmere {

// A static text control: left- or right-aligned text that either stays on one
// line or wraps wherever a line is full (so a long path without spaces still
// wraps, and shows as much of itself as the lines hold). With notification on, a
// left click emits clicked(); nothing in its look changes for that.
class StaticText : public QFrame {
  Q_OBJECT

 public:
  explicit StaticText(QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);

  void setTextAlignment(Qt::Alignment alignment);
  void setWordWrap(bool wrap);
  void setNotify(bool notify) { notify_ = notify; }
  // Pixels kept free between the frame and the text on the left and right.
  void setTextMargin(int margin);
  int textMargin() const { return textMargin_; }
  bool notifies() const { return notify_; }

  // Lines the text takes at the current width, and how many of them show.
  int lineCount() const;
  int visibleLineCount() const;

 signals:
  void clicked();
  void textChanged(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Lays the text out in the contents width; returns the height it takes.
  double LayOut(QTextLayout& layout) const;
  QRect TextRect() const;

  QString text_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool wrap_ = true;
  bool notify_ = false;
  int textMargin_ = 0;
};

}  // namespace quillmere
