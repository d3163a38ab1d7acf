#include "described_list.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>

namespace quillmere {
namespace {

using SharedDescriber = std::shared_ptr<const ItemDescriber>;

// The system's accessible list with the items' descriptions added. A screen
// reader may keep it after the list is gone, so it holds the describer
// weakly and then answers as the system's object alone.
class DescribedItems final : public IAccessible {
 public:
  DescribedItems(IAccessible* standard, std::weak_ptr<const ItemDescriber> describe)
      : standard_(standard), describe_(std::move(describe)) {
    standard_->AddRef();
  }
  DescribedItems(const DescribedItems&) = delete;
  DescribedItems& operator=(const DescribedItems&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The item enumeration and the window behind come from the system's object.
    return standard_->QueryInterface(id, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    if (out != nullptr && child.vt == VT_I4 && child.lVal > 0) {
      // Items are numbered from 1, as the system's list numbers its children.
      if (const SharedDescriber describe = describe_.lock()) {
        if (const std::optional<std::wstring> text = (*describe)(child.lVal - 1)) {
          *out = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
          return *out != nullptr ? S_OK : E_OUTOFMEMORY;
        }
      }
    }
    return standard_->get_accDescription(child, out);
  }

  // Everything else is the system's object's answer.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* wrong) override {
    return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return standard_->get_accName(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return standard_->get_accValue(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return standard_->get_accRole(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return standard_->get_accState(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
    return standard_->get_accHelp(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return standard_->get_accKeyboardShortcut(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    return standard_->get_accFocus(out);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    return standard_->get_accSelection(out);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return standard_->get_accDefaultAction(child, out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
    return standard_->accNavigate(direction, start, out);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    return standard_->accHitTest(x, y, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~DescribedItems() { standard_->Release(); }

  IAccessible* standard_;
  std::weak_ptr<const ItemDescriber> describe_;
  LONG references_ = 1;
};

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
  auto* describe = reinterpret_cast<SharedDescriber*>(data);
  if (message == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
    IAccessible* standard = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(list, OBJID_CLIENT, IID_IAccessible,
                                            reinterpret_cast<void**>(&standard)))) {
      auto* described = new DescribedItems(standard, *describe);
      standard->Release();
      const LRESULT answer = LresultFromObject(IID_IAccessible, wParam, described);
      described->Release();
      return answer;
    }
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(list, ListProc, 0);
    delete describe;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void DescribeListItems(HWND list, ItemDescriber describe) {
  auto* shared = new SharedDescriber(std::make_shared<const ItemDescriber>(std::move(describe)));
  SetWindowSubclass(list, ListProc, 0, reinterpret_cast<DWORD_PTR>(shared));
}

}  // namespace quillmere
