#pragma once

#include <QProxyStyle>

namespace quillmere {

// The platform's style, with a dotted mark inside a button or check box that
// has the keyboard focus: the default button's look alone does not tell
// where the focus is.
class FocusMarkStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
};

}  // namespace quillmere
