#include "file_list_control.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "resource_ids.h"
#include "texts.h"
#include "win_text.h"

namespace quillmere {
namespace {

constexpr int kNoImage = -2;  // I_IMAGENONE
constexpr int kFailedImage = 0;

std::wstring ItemText(HWND list, int item) {
  std::wstring text(260, L'\0');
  for (;;) {
    LVITEMW request{};
    request.pszText = text.data();
    request.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request)));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 4);
  }
}

std::vector<int> SelectedItems(HWND list) {
  std::vector<int> items;
  for (auto item = static_cast<int>(
           SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
       item >= 0; item = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM,
                                                       static_cast<WPARAM>(item), LVNI_SELECTED))) {
    items.push_back(item);
  }
  return items;
}

// The warning icon at the size of the list's small images, made once.
HIMAGELIST FailedImages() {
  const int width = GetSystemMetrics(SM_CXSMICON);
  const int height = GetSystemMetrics(SM_CYSMICON);
  const HIMAGELIST images = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 0);
  const auto icon = static_cast<HICON>(LoadImageW(
      nullptr, MAKEINTRESOURCEW(32515) /* IDI_WARNING */, IMAGE_ICON, width, height, LR_SHARED));
  ImageList_AddIcon(images, icon);
  return images;
}

void AppendItem(HMENU menu, int id, const char* text, const wchar_t* shortcut, bool enabled) {
  std::wstring caption = L"&" + ShownWide(text);
  if (shortcut != nullptr) caption += std::wstring(L"\t") + shortcut;
  AppendMenuW(menu, MF_STRING | (enabled ? 0u : MF_GRAYED), static_cast<UINT_PTR>(id),
              caption.c_str());
}

}  // namespace

std::string FileListControl::PathOf(int item) const {
  return ShownUtf8(ItemText(list_, item));
}

std::vector<std::string> FileListControl::SelectedPaths() const {
  std::vector<std::string> paths;
  for (const int item : SelectedItems(list_)) paths.push_back(PathOf(item));
  return paths;
}

std::optional<std::string> FileListControl::ChosenPath() const {
  const std::vector<int> selected = SelectedItems(list_);
  if (selected.size() == 1) return PathOf(selected.front());
  const auto focused =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (!selected.empty() || focused < 0) return std::nullopt;
  return PathOf(focused);
}

std::vector<std::string> FileListControl::RemoveSelected() {
  const std::vector<int> items = SelectedItems(list_);
  std::vector<std::string> paths;
  for (const int item : items) paths.push_back(PathOf(item));
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(*item), 0);
  }
  return paths;
}

void FileListControl::SetFailures(std::unordered_map<std::string, std::string> failed) {
  failed_ = std::move(failed);
  if (!failed_.empty() && SendMessageW(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0) == 0) {
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FailedImages()));
    FitColumns();  // the mark takes room beside every item's text
  }
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = failed_.contains(PathOf(index)) ? kFailedImage : kNoImage;
    SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

std::optional<std::string> FileListControl::FailureOf(const std::string& path) const {
  const auto found = failed_.find(path);
  if (found == failed_.end()) return std::nullopt;
  return found->second;
}

std::wstring FileListControl::TipOf(int item) const {
  const std::string path = PathOf(item);
  const std::optional<std::string> reason = FailureOf(path);
  return ShownWide(reason ? path + "\n" + *reason : path);
}

void FileListControl::FitColumns() {
  int widest = 0;
  int widestItem = -1;
  const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    const std::wstring text = ItemText(list_, index);
    const auto width = static_cast<int>(
        SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (width > widest) {
      widest = width;
      widestItem = index;
    }
  }
  // A first guess of the room the mark and the item's margins take beside
  // the text; then the widest item's label, as the list lays it out, gets a
  // small icon's width more than its text, since the text is drawn inset.
  const int small = GetSystemMetrics(SM_CXSMICON);
  int column = widest + small + 4 * GetSystemMetrics(SM_CXEDGE) + 8;
  SetColumnWidth(column);
  if (widestItem < 0) return;
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(widestItem),
               reinterpret_cast<LPARAM>(&label));
  const int spare = label.right - label.left - widest;
  if (spare < small) SetColumnWidth(column + small - spare);
}

void FileListControl::SetColumnWidth(int width) {
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::min(width, 32767), 0));
}

HMENU MakeListMenu(std::size_t selected) {
  const HMENU menu = CreatePopupMenu();
  AppendItem(menu, ids::kIdmAddFolder, texts::kAddFolder, nullptr, true);
  AppendItem(menu, ids::kIdmRemoveSelected, texts::kRemoveSelected, L"Del", selected > 0);
  AppendItem(menu, ids::kIdmOpenFolder, texts::kOpenFolder, nullptr, selected == 1);
  AppendItem(menu, ids::kIdmPreview, texts::kPreviewChanges, L"Ctrl+Shift+P", selected == 1);
  AppendItem(menu, ids::kIdmCodePage, texts::kCodePageItem, nullptr, true);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendItem(menu, ids::kIdmUndoLastRun, texts::kUndoLastRun, L"Ctrl+Shift+Z", true);
  return menu;
}

void ShowInExplorer(const std::string& path) {
  const std::wstring arguments = L"/select,\"" + ShownWide(path) + L"\"";
  ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

std::optional<std::string> ChooseFolder(HWND owner) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::optional<std::string> chosen;
  IFileOpenDialog* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&dialog)))) {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
      wchar_t* path = nullptr;
      if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        chosen = Utf8FromWide(path);
        CoTaskMemFree(path);
      }
      item->Release();
    }
    dialog->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

}  // namespace quillmere
