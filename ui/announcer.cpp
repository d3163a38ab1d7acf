#include "announcer.h"

#include <QAccessibleWidget>

namespace quillmere {
namespace {

class AnnouncerAccessible : public QAccessibleWidget {
 public:
  explicit AnnouncerAccessible(Announcer* announcer)
      : QAccessibleWidget(announcer, QAccessible::Notification) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return static_cast<Announcer*>(widget())->text();
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* MakeAnnouncerAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("quillmere::Announcer")) return nullptr;
  return new AnnouncerAccessible(static_cast<Announcer*>(object));
}

}  // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  static const bool installed = [] {
    QAccessible::installFactory(MakeAnnouncerAccessible);
    return true;
  }();
  (void)installed;
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  hide();  // until the first announcement, even when its window shows
}

void Announcer::Announce(const QString& text) {
  text_ = text;
  QAccessibleEvent renamed(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&renamed);
  // Hidden and shown again, so that the same text twice is heard twice.
  hide();
  show();
}

}  // namespace quillmere
