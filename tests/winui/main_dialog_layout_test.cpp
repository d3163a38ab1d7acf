// The main window and the About box as the system's dialog manager built them
// from the generated resources: the template's controls in its order, at its
// positions in dialog units, with their kinds and key styles, and every
// caption fitting its control in the dialog's real font.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "modal_watcher.h"
#include "resource_ids.h"
#include "win32_api.h"
#include "win_window_services.h"
#include "window_driver.h"

namespace quillmere {
namespace {

using test::WindowUnderTest;

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  std::wstring lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), ::towlower);
  return lower;
}

const wchar_t* ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::kListView:
      return L"syslistview32";
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
      return L"button";
    case ControlKind::kEdit:
      return L"edit";
    case ControlKind::kProgressBar:
      return L"msctls_progress32";
    case ControlKind::kStatic:
    case ControlKind::kIcon:
      break;
  }
  return L"static";
}

// The control's kind as the system sees it: its type bits.
DWORD TypeBits(HWND control, ControlKind kind) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  switch (kind) {
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
      return style & BS_TYPEMASK;
    case ControlKind::kStatic:
    case ControlKind::kIcon:
      return style & SS_TYPEMASK;
    case ControlKind::kListView:
      return style & LVS_TYPEMASK;
    default:
      return 0;
  }
}

DWORD ExpectedTypeBits(const ControlTemplate& control) {
  switch (control.kind) {
    case ControlKind::kPushButton:
      return (control.styles & style::kDefaultButton) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    case ControlKind::kCheckBox:
      return BS_AUTOCHECKBOX;
    case ControlKind::kStatic:
      if ((control.styles & style::kTextRight) != 0) return SS_RIGHT;
      return (control.styles & style::kWordWrap) != 0 ? SS_LEFT : SS_LEFTNOWORDWRAP;
    case ControlKind::kIcon:
      return SS_ICON;
    case ControlKind::kListView:
      return LVS_LIST;
    default:
      return 0;
  }
}

RECT PlaceIn(HWND dialog, HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// Place and size are each converted, as the dialog manager does.
RECT TemplatePlace(HWND dialog, const ControlTemplate& control) {
  RECT units{control.x, control.y, control.width, control.height};
  MapDialogRect(dialog, &units);
  return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both{};
  return IntersectRect(&both, &a, &b) != FALSE;
}

// Each control in template order: its id, class, kind, tab stop and group
// marks, and its place in dialog units as the system converts them. A text
// label may have been widened to fit its caption, but only into room where
// it overlaps no control that the template kept it apart from.
void ExpectTemplateBuilt(HWND dialog, const DialogTemplate& form) {
  const std::vector<HWND> children = Children(dialog);
  ASSERT_EQ(children.size(), form.controls.size());
  for (std::size_t i = 0; i < children.size(); ++i) {
    const ControlTemplate& control = form.controls[i];
    const HWND child = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(control.id));
    EXPECT_EQ(GetDlgCtrlID(child), control.id);  // kNoControlId is the system's IDC_STATIC, -1
    EXPECT_EQ(ClassOf(child), ExpectedClass(control.kind));
    EXPECT_EQ(TypeBits(child, control.kind), ExpectedTypeBits(control));
    const auto styleBits = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    EXPECT_EQ((styleBits & WS_TABSTOP) != 0, (control.styles & style::kTabStop) != 0);
    EXPECT_EQ((styleBits & WS_GROUP) != 0, (control.styles & style::kGroup) != 0);
    const RECT expected = TemplatePlace(dialog, control);
    const RECT actual = PlaceIn(dialog, child);
    EXPECT_EQ(actual.top, expected.top);
    if (control.kind == ControlKind::kStatic) {
      EXPECT_LE(actual.left, expected.left);
      EXPECT_GE(actual.right, expected.right);
    } else {
      EXPECT_EQ(actual.left, expected.left);
    }
    if (control.kind == ControlKind::kIcon) continue;  // an icon control takes the icon's size
    if (control.kind != ControlKind::kStatic) {
      EXPECT_EQ(actual.right, expected.right);
    }
    EXPECT_EQ(actual.bottom, expected.bottom);
    for (std::size_t j = 0; j < i; ++j) {
      if (Overlap(TemplatePlace(dialog, form.controls[j]), expected)) continue;
      EXPECT_FALSE(Overlap(PlaceIn(dialog, children[j]), actual)) << "overlaps control " << j;
    }
  }
}

// Room that a control's own drawing takes beside its caption: a check
// box's box and gap, a button's frame.
int Margin(HWND control) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (ClassOf(control) != L"button") return 0;
  if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) return GetSystemMetrics(SM_CXMENUCHECK) + 4;
  return 2 * GetSystemMetrics(SM_CXEDGE) + 4;
}

// The captions that do not fit their control on one line in its own font.
std::vector<std::wstring> CaptionsThatDoNotFit(HWND dialog) {
  std::vector<std::wstring> cut;
  for (const HWND control : Children(dialog)) {
    const std::wstring cls = ClassOf(control);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    if ((cls != L"button" && cls != L"static") || (style & SS_TYPEMASK) == SS_ICON) continue;
    std::wstring caption = WindowText(control);
    if ((style & SS_NOPREFIX) == 0 || cls == L"button") {
      caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    }
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    if (size.cx + Margin(control) > client.right || size.cy > client.bottom) {
      cut.push_back(caption + L" needs " + std::to_wstring(size.cx + Margin(control)) + L"x" +
                    std::to_wstring(size.cy) + L", has " + std::to_wstring(client.right) + L"x" +
                    std::to_wstring(client.bottom));
    }
  }
  return cut;
}

TEST(MainDialogLayout, TheControlsAreTheTemplatesInItsOrderAndPlaces) {
  const WindowUnderTest window;
  ExpectTemplateBuilt(window.hwnd(), MainDialogTemplate());
  EXPECT_EQ(LOWORD(SendMessageW(window.hwnd(), DM_GETDEFID, 0, 0)), ids::kAddFiles);
  const auto extended = static_cast<DWORD>(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE));
  EXPECT_NE(extended & WS_EX_ACCEPTFILES, 0u);
  EXPECT_NE(extended & WS_EX_APPWINDOW, 0u);
  const auto windowStyle = static_cast<DWORD>(GetWindowLongPtrW(window.hwnd(), GWL_STYLE));
  EXPECT_EQ(windowStyle & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);  // fixed size
  EXPECT_NE(windowStyle & WS_MINIMIZEBOX, 0u);
}

TEST(MainDialogLayout, EveryCaptionFitsItsControlInTheDialogsFont) {
  const WindowUnderTest window;
  EXPECT_EQ(CaptionsThatDoNotFit(window.hwnd()), std::vector<std::wstring>{});
  // The longest texts the run writes into the status line and the label.
  SetWindowTextW(window.Item(ids::kPercentLabel), L"100 %");
  SetWindowTextW(window.Item(ids::kStart), L"STOP");
  EXPECT_EQ(CaptionsThatDoNotFit(window.hwnd()), std::vector<std::wstring>{});
}

// The dialog font is 8 points at the screen's DPI: its letters grow with
// the dialog's units, as a bitmap font's stop doing at its largest size.
TEST(MainDialogLayout, TheDialogsFontScalesWithTheScreensDpi) {
  const WindowUnderTest window;
  const HDC dc = GetDC(window.hwnd());
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window.hwnd(), WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window.hwnd(), dc);
  EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, MulDiv(8, dpi, 72), 1) << dpi << " DPI";
}

TEST(MainDialogLayout, TheAboutBoxIsTemplate100AndItsCaptionsFit) {
  const WindowUnderTest window;
  bool checked = false;
  const test::ModalWatcher watcher(window.hwnd(), [&](HWND box, const test::SeenBox&) {
    ExpectTemplateBuilt(box, AboutDialogTemplate());
    EXPECT_EQ(CaptionsThatDoNotFit(box), std::vector<std::wstring>{});
    checked = true;
    test::PressFirstButton(box);
  });
  SendMessageW(window.hwnd(), WM_SYSCOMMAND, ids::kIdmAbout, 0);
  EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace quillmere
