#pragma once

#include <functional>
#include <string>
#include <vector>

#include "linux_syscalls.h"

namespace quillmere::test {

// The system's calls, except that reads and writes can be made to go
// through a few bytes at a time, interrupted every other time, and that
// syncs are counted, and syncs, writebacks started and renames logged in
// their order.
class FaultySyscalls : public LinuxSyscalls {
 public:
  // Interrupts every other read and write and lets each move at most 3 bytes.
  bool dribble = false;
  int syncs = 0;
  std::vector<std::string> order;  // "sync", "start", "rename"
  // Runs before each open of a name.
  std::function<void(const char* name)> beforeOpen;
  // Run after each sync (with the file synced), and before each rename or
  // exchange of names.
  std::function<void(int fd)> afterSync;
  std::function<void()> beforeRename;

  ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset) override;
  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) override;
  int Fsync(int fd) override;
  int StartWriteback(int fd) override;
  int Renameat(int fromFolder, const char* from, int toFolder, const char* to) override;
  // Logged as "rename" too: it is how a batch's files take their names.
  int ExchangeAt(int firstFolder, const char* first, int secondFolder, const char* second) override;
  int Openat(int folder, const char* path, int flags, mode_t mode) override;

 private:
  // With `dribble`, true on every other call: it then fails with EINTR.
  bool Interrupts();
  std::size_t Dribbled(std::size_t count) const;

  int dribbleTick_ = 0;
};

}  // namespace quillmere::test
