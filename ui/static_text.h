#pragma once

#include <QFrame>
#include <QString>

class QTextLayout;

namespace quillmere {

// A static text control: left- or right-aligned text that either stays on one
// line or wraps wherever a line is full (so a long path without spaces still
// wraps). A text longer than its lines hold loses its middle to an ellipsis,
// never a line cut in half, and shows whole as its tip. With notification on
// it is a link: a hand cursor, underlined under the mouse, and a left click
// emits clicked(). A screen reader reads its text, and hears of each change.
class StaticText : public QFrame {
  Q_OBJECT

 public:
  explicit StaticText(QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);

  void setTextAlignment(Qt::Alignment alignment);
  void setWordWrap(bool wrap);
  void setNotify(bool notify);
  // Pixels kept free between the frame and the text on the left and right.
  void setTextMargin(int margin);
  int textMargin() const { return textMargin_; }
  bool notifies() const { return notify_; }

  // Lines the text takes at the current width, how many of them show, and
  // the text as shown.
  int lineCount() const;
  int visibleLineCount() const;
  QString shownText() const;

 signals:
  void clicked();
  void textChanged(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Lays `text` out in the contents width; returns the height it takes.
  double LayOut(QTextLayout& layout, const QString& text) const;
  QRect TextRect() const;
  // The text, its middle given up as needed for it to fit its lines.
  QString Fitted() const;
  void Refit();

  QString text_;
  QString shown_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool wrap_ = true;
  bool notify_ = false;
  int textMargin_ = 0;
};

}  // namespace quillmere
