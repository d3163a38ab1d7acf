#include "live_region.h"

#include <initguid.h>
#include <oleacc.h>

namespace quillmere {
namespace {

// UI Automation's LiveSetting property and its value Polite.
DEFINE_GUID(kLiveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d,
            0x58, 0xeb);
constexpr long kPolite = 1;

void MarkPolite(HWND control) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
    if (SUCCEEDED(com)) CoUninitialize();
    return;  // no accessibility services: nothing listens either
  }
  VARIANT polite{};
  polite.vt = VT_I4;
  polite.lVal = kPolite;
  services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                        kLiveSettingProperty, polite);
  services->Release();
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace

void AnnounceLiveRegion(HWND control) {
  static const wchar_t* const kMarked = L"QuillmereLiveRegion";
  if (GetPropW(control, kMarked) == nullptr) {
    MarkPolite(control);
    SetPropW(control, kMarked, reinterpret_cast<HANDLE>(1));
  }
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace quillmere
