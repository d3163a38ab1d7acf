#pragma once

#include <QAccessibleWidget>

namespace quillmere {

class StaticText;

// How a screen reader sees a static text: its text as its name, read as
// text, or as a link when it reports clicks (and then it can be pressed).
class StaticTextAccessible : public QAccessibleWidget {
 public:
  explicit StaticTextAccessible(StaticText* text);

  QAccessible::Role role() const override;
  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& action) override;

 private:
  StaticText* staticText() const;
};

// Makes Qt's accessibility use StaticTextAccessible for every StaticText.
void InstallStaticTextAccessibility();

}  // namespace quillmere
