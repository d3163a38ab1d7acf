#include "dialog_keys.h"

#include <algorithm>

namespace quillmere {
namespace {

// The dialogs with keys on this thread, and the one hook that serves them.
thread_local std::vector<const DialogKeys*> active;
thread_local HHOOK hook = nullptr;

}  // namespace

DialogKeys::DialogKeys(HWND dialog, const std::vector<ACCEL>& keys)
    : dialog_(dialog),
      table_(
          CreateAcceleratorTableW(const_cast<ACCEL*>(keys.data()), static_cast<int>(keys.size()))) {
  if (active.empty()) hook = SetWindowsHookExW(WH_MSGFILTER, Filter, nullptr, GetCurrentThreadId());
  active.push_back(this);
}

DialogKeys::~DialogKeys() {
  active.erase(std::find(active.begin(), active.end(), this));
  if (active.empty() && hook != nullptr) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
  if (table_ != nullptr) DestroyAcceleratorTable(table_);
}

bool DialogKeys::Translate(MSG& message) const {
  // Only keys meant for the dialog or its controls: a box open over it has
  // its own.
  const bool ours = message.hwnd == dialog_ || IsChild(dialog_, message.hwnd);
  return ours && TranslateAcceleratorW(dialog_, table_, &message) != 0;
}

LRESULT CALLBACK DialogKeys::Filter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX) {
    MSG& message = *reinterpret_cast<MSG*>(lParam);
    for (const DialogKeys* keys : active) {
      if (keys->Translate(message)) return TRUE;
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace quillmere
