#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

#include "posix_syscalls.h"

namespace quillmere::detail {

// An open file descriptor, closed when the object goes.
class FileDescriptor {
 public:
  FileDescriptor(PosixSyscalls& sys, int fd) : sys_(sys), fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();

  bool valid() const { return fd_ >= 0; }
  int get() const { return fd_; }
  // Closes now and tells whether the close succeeded.
  bool Close();

 private:
  PosixSyscalls& sys_;
  int fd_;
};

// What tells one version of a file from another: which file it is, and its
// size and modification time.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  time_t mtimeSeconds = 0;
  long mtimeNanoseconds = 0;

  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& status);

// Opens an existing file without following it into a blocking open (a FIFO or
// a terminal returns at once).
int OpenExisting(PosixSyscalls& sys, const std::string& path, int accessMode);

// Takes an exclusive advisory lock without waiting. False when another open
// file holds a lock; true when the file system offers no locks at all.
bool LockExclusive(PosixSyscalls& sys, int fd);

// Reads exactly `count` bytes from the current offset; false on an error or
// an early end of file.
bool ReadExactly(PosixSyscalls& sys, int fd, char* buffer, std::size_t count);
// Whether the next read meets the end of the file.
bool AtEndOfFile(PosixSyscalls& sys, int fd);
// Reads exactly `count` bytes at `offset`, leaving the file offset alone.
bool ReadExactlyAt(PosixSyscalls& sys, int fd, char* buffer, std::size_t count, off_t offset);

// Writes all of `text`, through partial writes and interruptions.
bool WriteAll(PosixSyscalls& sys, int fd, const std::string& text);
// Writes all of `text` at offset 0, leaving the file offset alone.
bool WriteAllAtStart(PosixSyscalls& sys, int fd, const std::string& text);

}  // namespace quillmere::detail
