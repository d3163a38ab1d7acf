#pragma once

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <cstddef>

namespace quillmere {

// The system calls the Linux file primitives make. Each makes the real call;
// tests derive from this to make any of them fail (a full disk, an I/O
// error) where permissions cannot. Each returns what the call returns and
// sets errno the same way; Fallocate is adapted to that manner.
class LinuxSyscalls {
 public:
  virtual ~LinuxSyscalls() = default;

  virtual int Openat(int folder, const char* path, int flags, mode_t mode);
  virtual int Close(int fd);
  virtual int Fstat(int fd, struct stat* status);
  virtual int Fstatat(int folder, const char* path, struct stat* status, int flags);
  // statx, or where the system lacks it fstatat with no birth time in the mask.
  virtual int Statx(int folder, const char* path, int flags, struct statx* status);
  virtual int Fcntl(int fd, int command, int argument);
  virtual ssize_t Readlinkat(int folder, const char* path, char* buffer, std::size_t size);
  virtual int Flock(int fd, int operation);
  virtual ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset);
  virtual ssize_t Pwrite(int fd, const void* buffer, std::size_t count, off_t offset);
  virtual int Fsync(int fd);
  // Starts writing the file's dirty pages out, without waiting for them.
  virtual int StartWriteback(int fd);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Fchown(int fd, uid_t owner, gid_t group);
  virtual int Futimens(int fd, const struct timespec times[2]);
  // Reserves disk space for the first `length` bytes; 0 or -1 with errno.
  virtual int Fallocate(int fd, off_t length);
  virtual int Ftruncate(int fd, off_t length);
  virtual int Fstatfs(int fd, struct statfs* status);
  virtual int Fstatvfs(int fd, struct statvfs* status);
  virtual ssize_t Flistxattr(int fd, char* names, std::size_t size);
  virtual ssize_t Fgetxattr(int fd, const char* name, void* value, std::size_t size);
  virtual int Fsetxattr(int fd, const char* name, const void* value, std::size_t size);
  virtual int Fremovexattr(int fd, const char* name);
  virtual int Renameat(int fromFolder, const char* from, int toFolder, const char* to);
  // Swaps two names atomically.
  virtual int ExchangeAt(int firstFolder, const char* first, int secondFolder, const char* second);
  virtual int Unlinkat(int folder, const char* path);
  virtual int RemoveFolderAt(int folder, const char* path);
  virtual int Mkdir(const char* path, mode_t mode);
  virtual int Chmod(const char* path, mode_t mode);
  virtual int Mkdirat(int folder, const char* path, mode_t mode);
  virtual uid_t Geteuid();
};

// The calls of the running system.
LinuxSyscalls& SystemSyscalls();

}  // namespace quillmere
