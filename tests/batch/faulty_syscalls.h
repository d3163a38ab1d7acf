#pragma once

#include <map>

#include "posix_syscalls.h"

namespace quillmere::test {

// The system's calls, except that a chosen call fails on its n-th use with a
// chosen error, and writes can be made to go through a few bytes at a time.
class FaultySyscalls : public PosixSyscalls {
 public:
  enum class Call { kOpen, kRead, kWrite, kPwrite, kFsync, kFchmod, kFallocate, kRename, kClose };

  // Makes the `nth` (1-based) use of `call` from now on fail with `error`
  // (a read failing with error 0 meets an early end of file instead).
  void FailOn(Call call, int nth, int error) { failures_[call] = {uses_[call] + nth, error}; }
  int Uses(Call call) { return uses_[call]; }
  // Interrupts every other read and write and lets each move at most 3 bytes.
  bool dribble = false;

  int Open(const char* path, int flags, mode_t mode) override;
  int Close(int fd) override;
  int Fstat(int fd, struct stat* status) override { return real_.Fstat(fd, status); }
  int Stat(const char* path, struct stat* status) override { return real_.Stat(path, status); }
  int Flock(int fd, int operation) override { return real_.Flock(fd, operation); }
  ssize_t Read(int fd, void* buffer, std::size_t count) override;
  ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset) override {
    return real_.Pread(fd, buffer, count, offset);
  }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override;
  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) override;
  int Fsync(int fd) override;
  int Fchmod(int fd, mode_t mode) override;
  int Fchown(int fd, uid_t owner, gid_t group) override { return real_.Fchown(fd, owner, group); }
  int Fallocate(int fd, off_t length) override;
  int Ftruncate(int fd, off_t length) override { return real_.Ftruncate(fd, length); }
  int Rename(const char* from, const char* to) override;
  int Unlink(const char* path) override { return real_.Unlink(path); }
  int AccessWrite(const char* path) override { return real_.AccessWrite(path); }
  std::optional<std::string> RealPath(const char* path) override { return real_.RealPath(path); }

 private:
  struct Failure {
    int use;
    int error;
  };
  // Counts a use of `call`; true (with errno set) when this use must fail.
  bool Fails(Call call);
  // With `dribble`, true on every other call: it then fails with EINTR.
  bool Interrupts();

  PosixSyscalls& real_ = SystemSyscalls();
  std::map<Call, int> uses_;
  std::map<Call, Failure> failures_;
  int dribbleTick_ = 0;
};

}  // namespace quillmere::test
