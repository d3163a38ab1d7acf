// Real saves killed with SIGKILL at random moments, then run again: the
// file is always old, new or recoverable, and the run after the kill gives
// the result of one uninterrupted run with nothing left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "linux_test_files.h"
#include "safe_file_store.h"
#include "system_files.h"

namespace quillmere {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr int kKillsPerPath = 50;

std::string Lines(std::size_t bytes) {
  const std::string line = "<p>hello world alpha beta gamma</p>\n";
  std::string text;
  while (text.size() < bytes) text += line;
  return text;
}

// Two cleanings that a second run leaves alone: one shrinks the text, one
// grows it.
std::string Cleaned(const std::string& text, bool grow) {
  const std::string from = grow ? "alpha" : "alpha ";
  const std::string to = grow ? "ALPHA-ALPHA-ALPHA" : "";
  std::string out;
  for (std::size_t at = 0;;) {
    const std::size_t found = text.find(from, at);
    out.append(text, at, found - at);
    if (found == std::string::npos) return out;
    out += to;
    at = found + from.size();
  }
}

// One run over the file, as a user starts it: load, clean, save if changed.
void RunOnce(const std::string& path, const std::string& state, bool grow) {
  SafeFileStore store{MakeSystemFileSystem(state)};
  const LoadedFile loaded = store.Load(path);
  if (!loaded.ok()) return;
  const std::string cleaned = Cleaned(loaded.text, grow);
  // The run may be killed at any moment; what it left is checked afterwards.
  if (cleaned != loaded.text) (void)store.Save(path, cleaned);
}

pid_t StartRun(const std::string& path, const std::string& state, bool grow) {
  const pid_t child = ::fork();
  if (child == 0) {
    RunOnce(path, state, grow);
    ::_exit(0);
  }
  return child;
}

class LinuxKillTest : public ::testing::TestWithParam<bool> {};  // hard-linked or not

TEST_P(LinuxKillTest, AKilledSaveIsOldNewOrRecoverableAndTheNextRunFinishesIt) {
  const bool hardLinked = GetParam();
  const std::string old = Lines(std::size_t{8} << 20);
  std::random_device seeds;
  const unsigned seed = seeds();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);

  test::TempFolder folder;
  test::TempFolder state;
  const std::string path = folder / "big.htm";
  // How long one whole run takes, to kill within it.
  WriteFile(path, old);
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  ::waitpid(StartRun(path, state.path(), false), &status, 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(ReadFile(path), Cleaned(old, false));

  for (int kill = 0; kill < kKillsPerPath; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const bool grow = kill % 2 == 1;
    const std::string expected = Cleaned(old, grow);
    test::RemoveFile(path);
    WriteFile(path, old);
    if (hardLinked) {
      if (kill > 0) test::RemoveFile(folder / "link.htm");
      test::MakeHardLink(path, folder / "link.htm");
    }
    const pid_t child = StartRun(path, state.path(), grow);
    std::this_thread::sleep_for(std::uniform_real_distribution<double>(0.0, 1.2)(random) * whole);
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);

    const std::string content = ReadFile(path);
    const bool recoverable =
        folder.Names().size() > (hardLinked ? 2u : 1u) || !state.Names().empty();
    EXPECT_TRUE(content == old || content == expected || recoverable);
    RunOnce(path, state.path(), grow);
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(folder.Names().size(), hardLinked ? 2u : 1u);
    EXPECT_TRUE(state.Names().empty());
  }
}

std::string PathName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "InPlace" : "ByRename";
}

INSTANTIATE_TEST_SUITE_P(BothPaths, LinuxKillTest, ::testing::Values(false, true), PathName);

}  // namespace
}  // namespace quillmere
