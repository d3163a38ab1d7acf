#include "system_menu.h"

#include <QWidget>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <string>

#include "resource_ids.h"
#include "string_table.h"
#endif

namespace quillmere {

#ifdef Q_OS_WIN

bool InstallSystemMenu(QWidget& window) {
  const HWND handle = reinterpret_cast<HWND>(window.winId());
  const HMENU menu = GetSystemMenu(handle, FALSE);
  if (menu == nullptr) return false;
  const std::string about = LoadStringResource(ids::kStrAboutMenuItem);
  if (!about.empty()) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(ids::kIdmAbout), about.c_str());
  }
  // Move, Size and Maximize in the standard system menu.
  for (const UINT position : {1u, 2u, 4u})
    EnableMenuItem(menu, position, MF_BYPOSITION | MF_GRAYED);
  return true;
}

#else

bool InstallSystemMenu(QWidget& /*window*/) {
  return false;
}

#endif

}  // namespace quillmere
