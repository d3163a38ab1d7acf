#include "posix_syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace quillmere {
namespace {

class SystemPosixSyscalls final : public PosixSyscalls {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  int Close(int fd) override { return ::close(fd); }
  int Fstat(int fd, struct stat* status) override { return ::fstat(fd, status); }
  int Stat(const char* path, struct stat* status) override { return ::stat(path, status); }
  int Flock(int fd, int operation) override { return ::flock(fd, operation); }
  ssize_t Read(int fd, void* buffer, std::size_t count) override {
    return ::read(fd, buffer, count);
  }
  ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset) override {
    return ::pread(fd, buffer, count, offset);
  }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override {
    return ::write(fd, buffer, count);
  }
  ssize_t Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) override {
    return ::pwrite(fd, buffer, count, offset);
  }
  int Fsync(int fd) override { return ::fsync(fd); }
  int Fchmod(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
  int Fchown(int fd, uid_t owner, gid_t group) override { return ::fchown(fd, owner, group); }
  int Fallocate(int fd, off_t length) override {
    const int error = ::posix_fallocate(fd, 0, length);
    if (error == 0) return 0;
    errno = error;
    return -1;
  }
  int Ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
  int Rename(const char* from, const char* to) override { return ::rename(from, to); }
  int Unlink(const char* path) override { return ::unlink(path); }
  int AccessWrite(const char* path) override {
    return ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS);
  }
  std::optional<std::string> RealPath(const char* path) override {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path, nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
  }
};

}  // namespace

PosixSyscalls& SystemSyscalls() {
  static SystemPosixSyscalls calls;
  return calls;
}

}  // namespace quillmere
