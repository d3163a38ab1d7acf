#include "cleaner_app.h"

#include <QStyle>
#include <QStyleFactory>
#include <utility>

#include "app_icon.h"
#include "focus_mark_style.h"
#include "main_dlg.h"

namespace quillmere {

CCleanerApp::CCleanerApp(int& argc, char** argv) : QApplication(argc, argv) {
  setWindowIcon(AppIcon());
  // The style chosen (by default or with -style), with a visible focus mark.
  setStyle(new FocusMarkStyle(QStyleFactory::create(style()->name())));
}

bool CCleanerApp::StartUp() {
  RunMainWindow();
  return false;
}

void RunMainWindow(std::unique_ptr<FileStore> files) {
  CMainDlg window(nullptr, std::move(files));
  // OK from "Exit" and cancel from Escape or a close request end it alike.
  window.exec();
}

}  // namespace quillmere
