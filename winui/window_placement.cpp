#include "window_placement.h"

#include <algorithm>

namespace quillmere {

void CentreWindow(HWND window, HWND over) {
  RECT own{};
  GetWindowRect(window, &own);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(over != nullptr ? over : window, MONITOR_DEFAULTTONEAREST),
                  &monitor);
  const RECT area = monitor.rcWork;
  RECT centre = area;
  if (over != nullptr) GetWindowRect(over, &centre);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = (centre.left + centre.right - width) / 2;
  LONG y = (centre.top + centre.bottom - height) / 2;
  x = std::max(area.left, std::min(x, area.right - width));
  y = std::max(area.top, std::min(y, area.bottom - height));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillmere
