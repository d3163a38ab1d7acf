#include "static_text_accessible.h"

#include "static_text.h"

namespace quillmere {
namespace {

QAccessibleInterface* MakeStaticTextAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("quillmere::StaticText")) return nullptr;
  return new StaticTextAccessible(static_cast<StaticText*>(object));
}

}  // namespace

StaticTextAccessible::StaticTextAccessible(StaticText* text)
    : QAccessibleWidget(text, QAccessible::StaticText) {}

StaticText* StaticTextAccessible::staticText() const {
  return static_cast<StaticText*>(widget());
}

void* StaticTextAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::Role StaticTextAccessible::role() const {
  return staticText()->notifies() ? QAccessible::Link : QAccessible::StaticText;
}

QString StaticTextAccessible::text(QAccessible::Text kind) const {
  if (kind == QAccessible::Name) {
    // An accessible name set on purpose wins; a status line keeps it and
    // tells its text as its value.
    const QString set = widget()->accessibleName();
    return set.isEmpty() ? staticText()->text() : set;
  }
  if (kind == QAccessible::Value) return staticText()->text();
  return QAccessibleWidget::text(kind);
}

QStringList StaticTextAccessible::actionNames() const {
  if (!staticText()->notifies()) return QAccessibleWidget::actionNames();
  return {pressAction()};
}

void StaticTextAccessible::doAction(const QString& action) {
  if (staticText()->notifies() && action == pressAction()) {
    emit staticText()->clicked();
    return;
  }
  QAccessibleWidget::doAction(action);
}

QString StaticTextAccessible::wholeText() const {
  return staticText()->text();
}

void InstallStaticTextAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeStaticTextAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace quillmere
