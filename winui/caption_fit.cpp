#include "caption_fit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quillmere {
namespace {

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The text as a static control shows it: '&' marks an access key unless
// the control shows it as it is.
std::wstring Shown(std::wstring text, DWORD style) {
  if ((style & SS_NOPREFIX) != 0) return text;
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

SIZE TextSize(HWND control, const std::wstring& text) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

RECT PlaceIn(HWND dialog, HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

bool IsOneLineText(HWND control, DWORD style) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  if (lstrcmpiW(name, L"static") != 0) return false;
  const DWORD type = style & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_CENTER) {
    return false;
  }
  RECT client{};
  GetClientRect(control, &client);
  return client.bottom < 2 * TextSize(control, L"Ag").cy;
}

// How far the control may reach left and right without touching another
// control on its rows or the dialog's margin.
struct Room {
  LONG left;
  LONG right;
};

Room RoomBeside(HWND dialog, HWND control, const RECT& place) {
  RECT margin{2, 0, 2, 0};
  MapDialogRect(dialog, &margin);
  RECT client{};
  GetClientRect(dialog, &client);
  Room room{margin.left, client.right - margin.right};
  for (HWND other = GetWindow(dialog, GW_CHILD); other != nullptr;
       other = GetWindow(other, GW_HWNDNEXT)) {
    if (other == control || (GetWindowLongPtrW(other, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    const RECT at = PlaceIn(dialog, other);
    if (at.bottom <= place.top || at.top >= place.bottom) continue;
    if (at.left >= place.right) room.right = std::min(room.right, at.left);
    if (at.right <= place.left) room.left = std::max(room.left, at.right);
  }
  room.left = std::min(room.left, place.left);
  room.right = std::max(room.right, place.right);
  return room;
}

void Fit(HWND dialog, HWND control, const std::wstring& widest) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (!IsOneLineText(control, style)) return;
  RECT place = PlaceIn(dialog, control);
  RECT client{};
  GetClientRect(control, &client);
  LONG missing = TextSize(control, Shown(widest, style)).cx - client.right;
  if (missing <= 0) return;
  const Room room = RoomBeside(dialog, control, place);
  const bool rightAligned = (style & SS_TYPEMASK) == SS_RIGHT;
  auto growRight = [&] {
    const LONG by = std::min(missing, room.right - place.right);
    place.right += by;
    missing -= by;
  };
  auto growLeft = [&] {
    const LONG by = std::min(missing, place.left - room.left);
    place.left -= by;
    missing -= by;
  };
  if (rightAligned) {
    growLeft();
    growRight();
  } else {
    growRight();
    growLeft();
  }
  SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void FitCaptions(HWND dialog) {
  for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
       control = GetWindow(control, GW_HWNDNEXT)) {
    Fit(dialog, control, TextOf(control));
  }
}

void ShowWholeLinesOnly(HWND text) {
  const auto style = GetWindowLongPtrW(text, GWL_STYLE);
  SetWindowLongPtrW(text, GWL_STYLE, style | SS_EDITCONTROL);
}

}  // namespace quillmere
