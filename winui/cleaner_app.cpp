#include "cleaner_app.h"

#include "main_dialog.h"
#include "win32_api.h"

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
