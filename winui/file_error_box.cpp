#include "file_error_box.h"

#include <commctrl.h>

#include <set>

#include "texts.h"
#include "win_text.h"

namespace quillmere {
namespace {

constexpr int kStopButton = 100;
constexpr int kNoMoreBoxesButton = 101;

// Keeps keys that were already down when the box appeared from reaching
// it: their repeats, characters and releases are dropped as they are taken
// from the queue. Keys are told apart by their scan codes.
class FreshKeysOnly {
 public:
  FreshKeysOnly() : hook_(SetWindowsHookExW(WH_GETMESSAGE, Filter, nullptr, GetCurrentThreadId())) {
    current_ = this;
  }
  ~FreshKeysOnly() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  FreshKeysOnly(const FreshKeysOnly&) = delete;
  FreshKeysOnly& operator=(const FreshKeysOnly&) = delete;

  void Guard(HWND box) { box_ = box; }

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM removing, LPARAM message) {
    if (code == HC_ACTION && removing == PM_REMOVE && current_ != nullptr) {
      current_->Take(*reinterpret_cast<MSG*>(message));
    }
    return CallNextHookEx(nullptr, code, removing, message);
  }

  void Take(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || box_ == nullptr) return;
    if (message.hwnd != box_ && !IsChild(box_, message.hwnd)) return;
    const auto scanCode = static_cast<unsigned>((message.lParam >> 16) & 0xff);
    const bool wasDown = (message.lParam & (1L << 30)) != 0;
    const bool press = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (press && !wasDown) fresh_.insert(scanCode);
    if (!fresh_.contains(scanCode)) message.message = WM_NULL;
  }

  static inline FreshKeysOnly* current_ = nullptr;
  HHOOK hook_;
  HWND box_ = nullptr;
  std::set<unsigned> fresh_;
};

HRESULT CALLBACK OnBoxEvent(HWND box, UINT event, WPARAM, LPARAM, LONG_PTR guard) {
  if (event == TDN_CREATED) reinterpret_cast<FreshKeysOnly*>(guard)->Guard(box);
  return S_OK;
}

}  // namespace

FailureAnswer ShowFileErrorBox(HWND owner, const std::wstring& text, const std::wstring& details) {
  const std::wstring stop = ShownWide(texts::kStopTheRun);
  const std::wstring noMore = ShownWide(texts::kNoMoreErrorBoxes);
  const TASKDIALOG_BUTTON buttons[] = {{kStopButton, stop.c_str()},
                                       {kNoMoreBoxesButton, noMore.c_str()}};
  // The first line stays exactly the message; the reason stands below it.
  const std::wstring content = details.empty() ? text : text + L"\n\n" + details;
  FreshKeysOnly freshKeys;
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = L"";  // the file error boxes are untitled
  config.pszMainIcon = TD_WARNING_ICON;
  config.pszContent = content.c_str();
  config.cButtons = 2;
  config.pButtons = buttons;
  config.nDefaultButton = IDOK;
  config.pfCallback = OnBoxEvent;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&freshKeys);
  int pressed = IDOK;
  if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
    // No task dialogs (an old common controls library): the plain box.
    MessageBoxW(owner, content.c_str(), L"", MB_OK | MB_ICONEXCLAMATION);
    return FailureAnswer::kGoOn;
  }
  if (pressed == kStopButton) return FailureAnswer::kStopRun;
  if (pressed == kNoMoreBoxesButton) return FailureAnswer::kNoMoreBoxes;
  return FailureAnswer::kGoOn;
}

}  // namespace quillmere
