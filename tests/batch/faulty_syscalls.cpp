#include "faulty_syscalls.h"

#include <algorithm>
#include <cerrno>

namespace quillmere::test {

bool FaultySyscalls::Fails(Call call) {
  const int use = ++uses_[call];
  const auto found = failures_.find(call);
  if (found == failures_.end() || found->second.use != use) return false;
  errno = found->second.error;
  return true;
}

bool FaultySyscalls::Interrupts() {
  if (!dribble || ++dribbleTick_ % 2 == 0) return false;
  errno = EINTR;
  return true;
}

int FaultySyscalls::Open(const char* path, int flags, mode_t mode) {
  return Fails(Call::kOpen) ? -1 : real_.Open(path, flags, mode);
}

int FaultySyscalls::Close(int fd) {
  if (!Fails(Call::kClose)) return real_.Close(fd);
  real_.Close(fd);  // the descriptor is gone even when close reports an error
  return -1;
}

ssize_t FaultySyscalls::Read(int fd, void* buffer, std::size_t count) {
  if (Fails(Call::kRead)) return errno == 0 ? 0 : -1;  // error 0: an early end of file
  if (Interrupts()) return -1;
  return real_.Read(fd, buffer, dribble ? std::min<std::size_t>(count, 3) : count);
}

ssize_t FaultySyscalls::Write(int fd, const void* buffer, std::size_t count) {
  if (Fails(Call::kWrite) || Interrupts()) return -1;
  return real_.Write(fd, buffer, dribble ? std::min<std::size_t>(count, 3) : count);
}

ssize_t FaultySyscalls::Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) {
  if (Fails(Call::kPwrite) || Interrupts()) return -1;
  return real_.Pwrite(fd, buffer, dribble ? std::min<std::size_t>(count, 3) : count, offset);
}

int FaultySyscalls::Fsync(int fd) {
  return Fails(Call::kFsync) ? -1 : real_.Fsync(fd);
}

int FaultySyscalls::Fchmod(int fd, mode_t mode) {
  return Fails(Call::kFchmod) ? -1 : real_.Fchmod(fd, mode);
}

int FaultySyscalls::Fallocate(int fd, off_t length) {
  return Fails(Call::kFallocate) ? -1 : real_.Fallocate(fd, length);
}

int FaultySyscalls::Rename(const char* from, const char* to) {
  return Fails(Call::kRename) ? -1 : real_.Rename(from, to);
}

}  // namespace quillmere::test
