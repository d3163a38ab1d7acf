#pragma once

#include <QApplication>
#include <memory>

#include "file_store.h"

namespace quillmere {

// The application object: one per process. StartUp runs the main window
// modally; when it closes, whichever way, the process ends.
class CCleanerApp : public QApplication {
  Q_OBJECT

 public:
  CCleanerApp(int& argc, char** argv);

  // Always false: no message loop is to run after the main window.
  bool StartUp();
};

// Constructs the main window without a parent, runs it modally until it
// closes and destroys it. Needs a QApplication.
void RunMainWindow(std::unique_ptr<FileStore> files = nullptr);

}  // namespace quillmere
