#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "cleaner_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quillmere::CCleanerApp app;
  app.StartUp();
  return 0;
}
