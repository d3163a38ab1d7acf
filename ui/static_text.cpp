#include "static_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace quillmere {

StaticText::StaticText(QWidget* parent) : QFrame(parent) {
  setFocusPolicy(Qt::NoFocus);
}

void StaticText::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
  emit textChanged(text_);
}

void StaticText::setTextAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void StaticText::setTextMargin(int margin) {
  textMargin_ = margin;
  update();
}

QRect StaticText::TextRect() const {
  return contentsRect().adjusted(textMargin_, 0, -textMargin_, 0);
}

void StaticText::setWordWrap(bool wrap) {
  wrap_ = wrap;
  update();
}

double StaticText::LayOut(QTextLayout& layout) const {
  QString shown = text_;
  // A line break in a file name is shown as a break, not as a box.
  shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
  layout.setText(shown);
  layout.setFont(font());
  QTextOption option(alignment_ | Qt::AlignTop);
  // Wrapping fills each line to its end: a path, the one text that gets long,
  // shows as much of itself as the lines can hold.
  option.setWrapMode(wrap_ ? QTextOption::WrapAnywhere : QTextOption::NoWrap);
  layout.setTextOption(option);

  const double width = TextRect().width();
  double y = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
  return y;
}

int StaticText::lineCount() const {
  QTextLayout layout;
  LayOut(layout);
  return layout.lineCount();
}

int StaticText::visibleLineCount() const {
  QTextLayout layout;
  LayOut(layout);
  const double bottom = TextRect().height();
  int visible = 0;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    if (line.y() + line.height() > bottom + 0.5) break;
    ++visible;
  }
  return visible;
}

void StaticText::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
  painter.setPen(palette().color(group, QPalette::WindowText));
  const QRect textRect = TextRect();
  painter.setClipRect(textRect);
  QTextLayout layout;
  LayOut(layout);
  layout.draw(&painter, textRect.topLeft());
}

void StaticText::mousePressEvent(QMouseEvent* event) {
  if (notify_ && event->button() == Qt::LeftButton) {
    event->accept();
    return;
  }
  QFrame::mousePressEvent(event);
}

void StaticText::mouseReleaseEvent(QMouseEvent* event) {
  if (notify_ && event->button() == Qt::LeftButton) {
    event->accept();
    if (rect().contains(event->position().toPoint())) emit clicked();
    return;
  }
  QFrame::mouseReleaseEvent(event);
}

}  // namespace quillmere
