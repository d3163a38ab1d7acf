#include "modal_watcher.h"

#include "win_window_services.h"

namespace quillmere::test {
namespace {

ModalWatcher* active = nullptr;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

SeenBox Describe(HWND box) {
  SeenBox seen;
  seen.caption = WindowText(box);
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const std::wstring type = ClassOf(child);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if (_wcsicmp(type.c_str(), L"Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        seen.hasIcon = seen.hasIcon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
      } else if (!WindowText(child).empty()) {
        seen.texts.push_back(WindowText(child));
      }
    } else if (_wcsicmp(type.c_str(), L"Button") == 0 && (style & WS_VISIBLE) != 0) {
      seen.buttons.push_back(WindowText(child));
    }
  }
  return seen;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (ClassOf(window) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
    *reinterpret_cast<std::vector<HWND>*>(found) = {window};
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void PressFirstButton(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
      return;
    }
  }
}

ModalWatcher::ModalWatcher(HWND mainWindow, Action act)
    : main_(mainWindow), act_(std::move(act)), timer_(SetTimer(nullptr, 0, 30, OnTimer)) {
  active = this;
}

ModalWatcher::~ModalWatcher() {
  KillTimer(nullptr, timer_);
  active = nullptr;
}

void CALLBACK ModalWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (active != nullptr) active->Look();
}

void ModalWatcher::Look() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&found));
  // The main window is enabled only while no box is open over it.
  if (found.empty() || found.front() == main_ || found.front() == handling_) return;
  const HWND box = found.front();
  handling_ = box;
  seen_.push_back(Describe(box));
  if (act_) {
    act_(box, seen_.back());
  } else if (const HWND ok = GetDlgItem(box, IDOK); ok != nullptr && IsWindowVisible(ok)) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  } else {
    PressFirstButton(box);
  }
}

}  // namespace quillmere::test
