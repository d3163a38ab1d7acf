#include "open_files_dialog.h"

#include <commdlg.h>

#include "texts.h"
#include "win_text.h"

namespace quillmere {
namespace {

// Room for the selection: about 30,000 names of 60 characters. The dialog
// fails rather than cut a selection that does not fit.
constexpr std::size_t kSelectionChars = std::size_t{1} << 21;

}  // namespace

std::wstring OpenFileFilterList() {
  std::wstring list;
  for (const texts::FileFilterText& filter : texts::kOpenFileFilters) {
    list += ShownWide(filter.description) + L'\0' + ShownWide(filter.patterns) + L'\0';
  }
  return list + L'\0';
}

std::vector<std::wstring> SelectedPaths(const wchar_t* selection) {
  std::vector<std::wstring> parts;
  for (const wchar_t* part = selection; *part != L'\0'; part += parts.back().size() + 1) {
    parts.emplace_back(part);
  }
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';  // a drive's root ends in one already
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

std::optional<std::vector<std::string>> ChooseFilesToOpen(HWND owner) {
  const std::wstring filters = OpenFileFilterList();
  std::vector<wchar_t> selection(kSelectionChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = selection.data();
  dialog.nMaxFile = static_cast<DWORD>(selection.size());
  dialog.Flags = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameW(&dialog)) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
      MessageBoxW(owner, ShownWide(texts::kTooManyFiles).c_str(),
                  ShownWide(texts::kProgramName).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    return std::nullopt;
  }
  std::vector<std::string> paths;
  for (const std::wstring& path : SelectedPaths(selection.data())) {
    // A name that is no valid UTF-16 has no UTF-8 form to carry it.
    if (std::optional<std::string> utf8 = Utf8FromWide(path)) paths.push_back(std::move(*utf8));
  }
  if (paths.empty()) return std::nullopt;
  return paths;
}

}  // namespace quillmere
