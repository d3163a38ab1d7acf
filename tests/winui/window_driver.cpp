#include "window_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "win32_api.h"
#include "win_text.h"
#include "win_window_services.h"

namespace quillmere::test {

HookedStore::HookedStore(OnLoad onLoad)
    : store_(MakeSystemFileStore()), onLoad_(std::move(onLoad)) {}

LoadedFile HookedStore::Load(const std::string& path) {
  if (onLoad_) onLoad_(loads_, path);
  ++loads_;
  return store_->Load(path);
}

std::optional<FileError> HookedStore::Save(const std::string& path, const std::string& text) {
  return store_->Save(path, text);
}

std::optional<FileError> HookedStore::CheckSave(const std::string& path) {
  return store_->CheckSave(path);
}

std::optional<FileError> HookedStore::Stamp(const std::string& path, FileStamp& stamp) {
  return store_->Stamp(path, stamp);
}

std::optional<FileError> HookedStore::Restamp(const std::string& path, const FileStamp& stamp) {
  return store_->Restamp(path, stamp);
}

OwnLocalAppData::OwnLocalAppData() {
  _wputenv_s(L"LOCALAPPDATA", Wide(folder.path()).c_str());
}

WindowUnderTest::WindowUnderTest(HookedStore::OnLoad onLoad,
                                 const std::function<void(const TempFolder&)>& beforeOpen)
    : dialog_(std::make_unique<HookedStore>(std::move(onLoad))) {
  if (beforeOpen) beforeOpen(state_.folder);
  dialog_.OpenModeless();
  Pump();
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Click(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
}

void ClickButtonNamed(HWND box, const std::wstring& caption) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[128] = {};
    GetWindowTextW(child, text, 128);
    if (caption == text) {
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
      return;
    }
  }
  ADD_FAILURE() << "no button named " << ShownUtf8(caption);
}

void ClickLabel(HWND label) {
  SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void Type(HWND control, const std::wstring& text) {
  for (const wchar_t c : text) SendMessageW(control, WM_CHAR, c, 1);
}

bool Ticked(HWND box) {
  return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(4096, L'\0');
    LVITEMW item{};
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    text.resize(static_cast<std::size_t>(SendMessageW(
        list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))));
    items.push_back(text);
  }
  return items;
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::size_t chars = 1;
  for (const std::wstring& path : paths) chars += path.size() + 1;
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(drop + 1);
  for (const std::wstring& path : paths) {
    std::memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    names += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

void Drop(HWND window, const std::vector<std::string>& paths) {
  std::vector<std::wstring> wide;
  for (const std::string& path : paths) wide.push_back(Wide(path));
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(wide)), 0);
}

void PressKey(HWND control, WPARAM key, std::initializer_list<int> modifiers) {
  std::array<BYTE, 256> keys{};
  GetKeyboardState(keys.data());
  std::array<BYTE, 256> held = keys;
  for (const int modifier : modifiers) held[static_cast<std::size_t>(modifier)] = 0x80;
  SetKeyboardState(held.data());
  PostMessageW(control, WM_KEYDOWN, key, 1);
  Pump();
  SetKeyboardState(keys.data());
}

void ChooseFromListMenu(HWND list, int downs) {
  for (int down = 0; down < downs; ++down) PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  Pump();
}

}  // namespace quillmere::test
