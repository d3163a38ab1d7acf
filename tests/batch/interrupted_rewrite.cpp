#include "interrupted_rewrite.h"

#include <gtest/gtest.h>

#include <memory>

#include "faulty_file_system.h"
#include "safe_file_store.h"
#include "system_files.h"

namespace quillmere::test {

void LeaveInterruptedRewrite(const std::string& path, const std::string& state,
                             const std::string& text) {
  auto* faults = new FaultyFileSystem(MakeSystemFileSystem(state));
  SafeFileStore store{std::unique_ptr<FileSystem>(faults)};
  ASSERT_TRUE(store.Load(path).ok());
  faults->Before(FaultyFileSystem::Op::kTruncate, 1, [] { throw SimulatedCrash{}; });
  bool crashed = false;
  try {
    (void)store.Save(path, text);  // it crashes before it could answer
  } catch (const SimulatedCrash&) {
    crashed = true;
  }
  ASSERT_TRUE(crashed);
}

}  // namespace quillmere::test
