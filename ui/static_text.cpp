#include "static_text.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "static_text_accessible.h"

namespace quillmere {

StaticText::StaticText(QWidget* parent) : QFrame(parent) {
  setFocusPolicy(Qt::NoFocus);
  InstallStaticTextAccessibility();
}

void StaticText::setText(const QString& text) {
  if (text == text_) return;
  const QString old = text_;
  text_ = text;
  Refit();
  emit textChanged(text_);
  QAccessibleEvent changed(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
  QAccessibleTextUpdateEvent updated(this, 0, old, text_);
  QAccessible::updateAccessibility(&updated);
}

void StaticText::setNotify(bool notify) {
  notify_ = notify;
  setCursor(notify ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void StaticText::Refit() {
  shown_ = Fitted();
  setToolTip(shown_ == text_ ? QString() : text_);
  update();
}

QString StaticText::shownText() const {
  return shown_;
}

QString StaticText::Fitted() const {
  if (!wrap_ || text_.isEmpty()) return text_;
  QTextLayout layout;
  const double bottom = TextRect().height();
  if (LayOut(layout, text_) <= bottom + 0.5) return text_;
  // The most of the text's two ends that still fits the lines shown.
  const QString ellipsis(QChar(0x2026));
  qsizetype low = 0;
  qsizetype high = text_.size();
  while (low < high) {
    const qsizetype keep = (low + high + 1) / 2;
    const QString candidate = text_.left(keep - keep / 2) + ellipsis + text_.right(keep / 2);
    QTextLayout trial;
    if (LayOut(trial, candidate) <= bottom + 0.5) {
      low = keep;
    } else {
      high = keep - 1;
    }
  }
  return text_.left(low - low / 2) + ellipsis + text_.right(low / 2);
}

void StaticText::setTextAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void StaticText::setTextMargin(int margin) {
  textMargin_ = margin;
  Refit();
}

QRect StaticText::TextRect() const {
  return contentsRect().adjusted(textMargin_, 0, -textMargin_, 0);
}

void StaticText::setWordWrap(bool wrap) {
  wrap_ = wrap;
  Refit();
}

double StaticText::LayOut(QTextLayout& layout, const QString& text) const {
  QString shown = text;
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
  LayOut(layout, shown_);
  return layout.lineCount();
}

int StaticText::visibleLineCount() const {
  QTextLayout layout;
  LayOut(layout, shown_);
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
  LayOut(layout, shown_);
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

void StaticText::enterEvent(QEnterEvent* event) {
  if (notify_) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
  }
  QFrame::enterEvent(event);
}

void StaticText::leaveEvent(QEvent* event) {
  if (notify_) {
    QFont plain = font();
    plain.setUnderline(false);
    setFont(plain);
  }
  QFrame::leaveEvent(event);
}

void StaticText::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Refit();
}

}  // namespace quillmere
