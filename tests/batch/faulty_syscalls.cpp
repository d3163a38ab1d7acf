#include "faulty_syscalls.h"

#include <algorithm>
#include <cerrno>

namespace quillmere::test {

bool FaultySyscalls::Interrupts() {
  if (!dribble || ++dribbleTick_ % 2 == 0) return false;
  errno = EINTR;
  return true;
}

std::size_t FaultySyscalls::Dribbled(std::size_t count) const {
  return dribble ? std::min<std::size_t>(count, 3) : count;
}

ssize_t FaultySyscalls::Pread(int fd, void* buffer, std::size_t count, off_t offset) {
  if (Interrupts()) return -1;
  return LinuxSyscalls::Pread(fd, buffer, Dribbled(count), offset);
}

ssize_t FaultySyscalls::Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) {
  if (Interrupts()) return -1;
  return LinuxSyscalls::Pwrite(fd, buffer, Dribbled(count), offset);
}

int FaultySyscalls::Openat(int folder, const char* path, int flags, mode_t mode) {
  if (beforeOpen) beforeOpen(path);
  return LinuxSyscalls::Openat(folder, path, flags, mode);
}

int FaultySyscalls::Fsync(int fd) {
  ++syncs;
  order.push_back("sync");
  const int result = LinuxSyscalls::Fsync(fd);
  if (afterSync) afterSync(fd);
  return result;
}

int FaultySyscalls::StartWriteback(int fd) {
  order.push_back("start");
  return LinuxSyscalls::StartWriteback(fd);
}

int FaultySyscalls::Renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  order.push_back("rename");
  if (beforeRename) beforeRename();
  return LinuxSyscalls::Renameat(fromFolder, from, toFolder, to);
}

int FaultySyscalls::ExchangeAt(int firstFolder, const char* first, int secondFolder,
                               const char* second) {
  order.push_back("rename");
  if (beforeRename) beforeRename();
  return LinuxSyscalls::ExchangeAt(firstFolder, first, secondFolder, second);
}

}  // namespace quillmere::test
