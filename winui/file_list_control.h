#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmere {

// The main window's file list view: its paths in UTF-8, the selection, the
// marks of files that failed and the tips that show a whole path.
class FileListControl {
 public:
  explicit FileListControl(HWND list) : list_(list) {}

  std::string PathOf(int item) const;
  // The selected items' paths, top first.
  std::vector<std::string> SelectedPaths() const;
  // The one file a command on "the selected file" takes: the only selected
  // one, or with none selected the focused one.
  std::optional<std::string> ChosenPath() const;
  // Takes the selected items off and gives their paths, top first.
  std::vector<std::string> RemoveSelected();
  // Marks the listed paths that failed with the warning icon; the reason
  // goes in their tip. Paths not given lose their mark.
  void SetFailures(std::unordered_map<std::string, std::string> failed);
  // The reason a path failed, if it did.
  std::optional<std::string> FailureOf(const std::string& path) const;
  // The tip of an item: its whole path, and below it why it failed.
  std::wstring TipOf(int item) const;
  // Every column as wide as the widest path, so that none is cut (the list
  // scrolls sideways).
  void FitColumns();

 private:
  void SetColumnWidth(int width);

  HWND list_;
  std::unordered_map<std::string, std::string> failed_;
};

// The list's menu for `selected` selected files: "Add folder...", "Remove
// selected", "Open containing folder", "Preview changes...", then "Undo last
// run", each with its access key and shortcut.
HMENU MakeListMenu(std::size_t selected);

// Explorer showing the file's folder with the file selected.
void ShowInExplorer(const std::string& path);

// The system's folder chooser; nothing when cancelled.
std::optional<std::string> ChooseFolder(HWND owner);

}  // namespace quillmere
