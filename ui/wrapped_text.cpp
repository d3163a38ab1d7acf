#include "wrapped_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace quillmere {
namespace {

QAccessibleInterface* MakeWrappedTextAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("quillmere::WrappedText") || !object->isWidgetType()) {
    return nullptr;
  }
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
}

}  // namespace

WrappedText::WrappedText(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setAccessibleName(text);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

int WrappedText::LayOut(int width, QPainter* painter) const {
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAnywhere);
  double y = 0;
  for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(std::max(width, 1));
      line.setPosition(QPointF(0, y));
      y += line.height();
    }
    layout.endLayout();
    if (paragraph.isEmpty()) y += QFontMetricsF(font()).height();
    if (painter != nullptr) layout.draw(painter, QPointF(0, 0));
  }
  return static_cast<int>(std::ceil(y));
}

int WrappedText::heightForWidth(int width) const {
  return LayOut(width, nullptr);
}

QSize WrappedText::sizeHint() const {
  int widest = 0;
  const QFontMetrics metrics(font());
  for (const QString& line : text_.split(QLatin1Char('\n'))) {
    widest = std::max(widest, metrics.horizontalAdvance(line) + 1);
  }
  const int width = std::min(widest, maximumWidth());
  return {width, heightForWidth(width)};
}

QSize WrappedText::minimumSizeHint() const {
  const int width = std::max(minimumWidth(), 1);
  return {width, heightForWidth(width)};
}

void WrappedText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  LayOut(width(), &painter);
}

void InstallWrappedTextAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeWrappedTextAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace quillmere
