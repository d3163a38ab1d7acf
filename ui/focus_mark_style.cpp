#include "focus_mark_style.h"

#include <QPainter>
#include <QPen>
#include <QStyleOption>

namespace quillmere {

void FocusMarkStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  const bool marked = element == CE_PushButtonLabel || element == CE_CheckBoxLabel;
  if (!marked || (option->state & State_HasFocus) == 0) return;
  painter->save();
  QPen pen(option->palette.color(QPalette::WindowText));
  pen.setStyle(Qt::DotLine);
  pen.setCosmetic(true);
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  const QRect around = element == CE_PushButtonLabel ? option->rect.adjusted(1, 1, -2, -2)
                                                     : option->rect.adjusted(0, 0, -1, -1);
  painter->drawRect(around);
  painter->restore();
}

}  // namespace quillmere
