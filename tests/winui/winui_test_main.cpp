// main() of the window's tests: the common controls registered, as the
// program does at start.
#include <gtest/gtest.h>

#include "cleaner_app.h"

int main(int argc, char** argv) {
  quillmere::CCleanerApp app;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
