#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace quillmere {

// The system calls the POSIX file store makes, behind one interface so that
// tests can make any of them fail (a full disk, an I/O error) where
// permissions cannot. Each returns what the POSIX call returns and sets errno
// the same way; Fallocate and RealPath are adapted to that manner.
class PosixSyscalls {
 public:
  virtual ~PosixSyscalls() = default;

  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  virtual int Close(int fd) = 0;
  virtual int Fstat(int fd, struct stat* status) = 0;
  virtual int Stat(const char* path, struct stat* status) = 0;
  virtual int Flock(int fd, int operation) = 0;
  virtual ssize_t Read(int fd, void* buffer, std::size_t count) = 0;
  virtual ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset) = 0;
  virtual ssize_t Write(int fd, const void* buffer, std::size_t count) = 0;
  virtual ssize_t Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) = 0;
  virtual int Fsync(int fd) = 0;
  virtual int Fchmod(int fd, mode_t mode) = 0;
  virtual int Fchown(int fd, uid_t owner, gid_t group) = 0;
  // Reserves disk space for the first `length` bytes; 0 or -1 with errno.
  virtual int Fallocate(int fd, off_t length) = 0;
  virtual int Ftruncate(int fd, off_t length) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  // Whether this process may write the file, judged by its effective ids.
  virtual int AccessWrite(const char* path) = 0;
  // The canonical absolute path with every symbolic link resolved.
  virtual std::optional<std::string> RealPath(const char* path) = 0;
};

// The calls of the running system.
PosixSyscalls& SystemSyscalls();

}  // namespace quillmere
