#include "cleaner_app.h"

int main(int argc, char** argv) {
  quillmere::CCleanerApp app(argc, argv);
  app.StartUp();
  return 0;
}
