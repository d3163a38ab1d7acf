#pragma once

#include <memory>

#include "file_store.h"

namespace quillmere {

// The application: one per process. StartUp runs the main window modally;
// when it closes, whichever way, the process ends.
class CCleanerApp {
 public:
  // Registers the common controls that the window templates use.
  CCleanerApp();

  // Always false: no message loop is to run after the main window.
  bool StartUp(std::unique_ptr<FileStore> files = nullptr);
};

}  // namespace quillmere
