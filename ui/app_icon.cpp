#include "app_icon.h"

#include <QSize>

// The icon images are compiled into this static library; registering them must
// happen outside any namespace.
static void RegisterIconResource() {
  Q_INIT_RESOURCE(quillmere);
}

namespace quillmere {

QIcon AppIcon() {
  static const bool registered = (RegisterIconResource(), true);
  (void)registered;
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/quillmere-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/icons/quillmere-32.png"), QSize(32, 32));
  return icon;
}

}  // namespace quillmere
