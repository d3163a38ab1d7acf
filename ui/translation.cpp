#include "translation.h"

#include <QCoreApplication>

namespace quillmere {

QString Tr(const char* text) {
  return QCoreApplication::translate("quillmere", text);
}

}  // namespace quillmere
