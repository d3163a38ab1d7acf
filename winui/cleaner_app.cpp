#include "cleaner_app.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include "main_dialog.h"

namespace quillmere {

CCleanerApp::CCleanerApp() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
}

bool CCleanerApp::StartUp(std::unique_ptr<FileStore> files) {
  CMainDlg window(std::move(files));
  // OK from "Exit" and cancel from Escape or a close request end it alike.
  window.RunModal();
  return false;
}

}  // namespace quillmere
