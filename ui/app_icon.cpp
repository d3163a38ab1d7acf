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
  for (const int size : {16, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/icons/quillmere-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace quillmere
