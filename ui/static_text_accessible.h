#pragma once

#include <QAccessibleWidget>

#include "read_only_text.h"

namespace quillmere {

class StaticText;

// How a screen reader sees a static text: its text as its name, read as
// text, or as a link when it reports clicks (and then it can be pressed).
// Its text can also be read by character, word and line through the text
// interface, as a read-only text with no caret.
class StaticTextAccessible : public QAccessibleWidget, public ReadOnlyTextInterface {
 public:
  explicit StaticTextAccessible(StaticText* text);
  using QAccessibleWidget::text;
  using ReadOnlyTextInterface::text;

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::Role role() const override;
  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& action) override;

  QString wholeText() const override;
  QRect textRect() const override { return rect(); }

 private:
  StaticText* staticText() const;
};

// Makes Qt's accessibility use StaticTextAccessible for every StaticText.
void InstallStaticTextAccessibility();

}  // namespace quillmere
