#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// The open-file dialog's filter list: each description and its patterns,
// NUL-separated, ending in two NULs.
std::wstring OpenFileFilterList();

// The full paths of a multiple selection as the dialog returns it: one full
// path, or the folder followed by each name, NUL-separated and ending in two
// NULs.
std::vector<std::wstring> SelectedPaths(const wchar_t* selection);

// The system's multi-select open-file dialog, owned by `owner`, for existing
// files, with the four filters and the first chosen: the chosen paths in
// UTF-8, in the dialog's order, or nothing when the user cancelled.
std::optional<std::vector<std::string>> ChooseFilesToOpen(HWND owner);

}  // namespace quillmere
