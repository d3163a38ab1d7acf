#include "keyboard_tip.h"

#include <commctrl.h>

namespace quillmere {
namespace {

// The tool record without the field that version 6 of the common controls
// added, so that every version takes it.
TTTOOLINFOW ToolOf(HWND list, wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = list;
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = text;
  return tool;
}

}  // namespace

KeyboardTip::~KeyboardTip() {
  if (tip_ != nullptr) DestroyWindow(tip_);
}

void KeyboardTip::Make() {
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, list_, nullptr,
                         nullptr, nullptr);
  text_.assign(1, L'\0');
  TTTOOLINFOW tool = ToolOf(list_, text_.data());
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // A maximum width makes the tip break its text at line ends.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(list_, MONITOR_DEFAULTTONEAREST), &monitor);
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, (monitor.rcWork.right - monitor.rcWork.left) / 2);
}

void KeyboardTip::Show(int item, const std::wstring& text) {
  if (tip_ == nullptr) Make();
  text_ = text;
  TTTOOLINFOW tool = ToolOf(list_, text_.data());
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  RECT place{};
  place.left = LVIR_LABEL;
  SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&place));
  POINT at{place.left, place.bottom};
  ClientToScreen(list_, &at);
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void KeyboardTip::Hide() {
  if (tip_ == nullptr) return;
  TTTOOLINFOW tool = ToolOf(list_, text_.data());
  SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace quillmere
