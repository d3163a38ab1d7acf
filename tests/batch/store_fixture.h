#pragma once

#include <gtest/gtest.h>

#include <string>

#include "safe_file_store.h"
#include "system_files.h"
#include "test_files.h"

namespace quillmere::test {

// The system's store on a fresh folder, with its own recovery folder.
class StoreFixture : public ::testing::Test {
 protected:
  // Writes the file and loads it, as a run does before saving.
  std::string Loaded(const std::string& name, const std::string& content) {
    const std::string path = folder / name;
    WriteFile(path, content);
    EXPECT_TRUE(store.Load(path).ok());
    return path;
  }

  TempFolder folder;
  TempFolder state;
  SafeFileStore store{MakeSystemFileSystem(state.path())};
};

}  // namespace quillmere::test
