#include "system_menu.h"

#include <string>

#include "resource_ids.h"

namespace quillmere {

bool InstallSystemMenu(HWND window) {
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return false;
  const wchar_t* text = nullptr;
  // With a zero length LoadString hands out the table's own read-only copy.
  const int length = LoadStringW(GetModuleHandleW(nullptr), ids::kStrAboutMenuItem,
                                 reinterpret_cast<wchar_t*>(&text), 0);
  if (length > 0) {
    const std::wstring about(text, static_cast<std::size_t>(length));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(ids::kIdmAbout), about.c_str());
  }
  for (const UINT position : {1u, 2u, 4u}) {
    EnableMenuItem(menu, position, MF_BYPOSITION | MF_GRAYED);
  }
  // Each time the menu opens, the system enables Move again for a window
  // that is not maximized; an item under another command it leaves alone.
  wchar_t move[64] = {};
  if (GetMenuStringW(menu, 1, move, 64, MF_BYPOSITION) > 0) {
    ModifyMenuW(menu, 1, MF_BYPOSITION | MF_STRING | MF_GRAYED,
                static_cast<UINT_PTR>(ids::kIdmMoveGrayed), move);
  }
  return true;
}

}  // namespace quillmere
