#include "posix_file_io.h"

#include <fcntl.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>

namespace quillmere::detail {
namespace {

// One call never moves more than this, so that a count always fits ssize_t.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) sys_.Close(fd_);
}

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd >= 0 && sys_.Close(fd) == 0;
}

FileIdentity IdentityOf(const struct stat& status) {
  return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
                      status.st_mtim.tv_nsec};
}

int OpenExisting(PosixSyscalls& sys, const std::string& path, int accessMode) {
  for (;;) {
    const int fd = sys.Open(path.c_str(), accessMode | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

bool LockExclusive(PosixSyscalls& sys, int fd) {
  for (;;) {
    if (sys.Flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    // Only a lock held by someone else refuses the file; a file system that
    // cannot lock gives what exclusion the platform allows, which is none.
    return errno != EWOULDBLOCK && errno != EAGAIN;
  }
}

bool ReadExactly(PosixSyscalls& sys, int fd, char* buffer, std::size_t count) {
  while (count > 0) {
    const ssize_t got = sys.Read(fd, buffer, std::min(count, kMaxChunk));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    buffer += got;
    count -= static_cast<std::size_t>(got);
  }
  return true;
}

bool AtEndOfFile(PosixSyscalls& sys, int fd) {
  char next = 0;
  for (;;) {
    const ssize_t got = sys.Read(fd, &next, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 0;
  }
}

bool ReadExactlyAt(PosixSyscalls& sys, int fd, char* buffer, std::size_t count, off_t offset) {
  while (count > 0) {
    const ssize_t got = sys.Pread(fd, buffer, std::min(count, kMaxChunk), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    buffer += got;
    offset += got;
    count -= static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteAll(PosixSyscalls& sys, int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t put = sys.Write(fd, data, std::min(left, kMaxChunk));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

bool WriteAllAtStart(PosixSyscalls& sys, int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  off_t offset = 0;
  while (left > 0) {
    const ssize_t put = sys.Pwrite(fd, data, std::min(left, kMaxChunk), offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    offset += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace quillmere::detail
