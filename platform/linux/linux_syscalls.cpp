#include "linux_syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace quillmere {

int LinuxSyscalls::Openat(int folder, const char* path, int flags, mode_t mode) {
  return ::openat(folder, path, flags, mode);
}
int LinuxSyscalls::Close(int fd) {
  return ::close(fd);
}
int LinuxSyscalls::Fstat(int fd, struct stat* status) {
  return ::fstat(fd, status);
}
int LinuxSyscalls::Fstatat(int folder, const char* path, struct stat* status, int flags) {
  return ::fstatat(folder, path, status, flags);
}
int LinuxSyscalls::Statx(int folder, const char* path, int flags, struct statx* status) {
  constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
  if (::statx(folder, path, flags, kWanted, status) == 0) return 0;
  if (errno != ENOSYS && errno != EPERM) return -1;
  // Kernels before 4.11, and sandboxes that refuse the call.
  struct stat old {};
  if (::fstatat(folder, path, &old, flags) != 0) return -1;
  *status = {};
  status->stx_mask = STATX_BASIC_STATS;
  status->stx_mode = static_cast<std::uint16_t>(old.st_mode);
  status->stx_uid = old.st_uid;
  status->stx_gid = old.st_gid;
  status->stx_nlink = static_cast<std::uint32_t>(old.st_nlink);
  status->stx_ino = old.st_ino;
  status->stx_size = static_cast<std::uint64_t>(old.st_size);
  status->stx_atime = {old.st_atim.tv_sec, static_cast<std::uint32_t>(old.st_atim.tv_nsec), 0};
  status->stx_mtime = {old.st_mtim.tv_sec, static_cast<std::uint32_t>(old.st_mtim.tv_nsec), 0};
  status->stx_ctime = {old.st_ctim.tv_sec, static_cast<std::uint32_t>(old.st_ctim.tv_nsec), 0};
  status->stx_dev_major = major(old.st_dev);
  status->stx_dev_minor = minor(old.st_dev);
  return 0;
}
int LinuxSyscalls::Fcntl(int fd, int command, int argument) {
  return ::fcntl(fd, command, argument);
}
ssize_t LinuxSyscalls::Readlinkat(int folder, const char* path, char* buffer, std::size_t size) {
  return ::readlinkat(folder, path, buffer, size);
}
int LinuxSyscalls::Flock(int fd, int operation) {
  return ::flock(fd, operation);
}
ssize_t LinuxSyscalls::Pread(int fd, void* buffer, std::size_t count, off_t offset) {
  return ::pread(fd, buffer, count, offset);
}
ssize_t LinuxSyscalls::Pwrite(int fd, const void* buffer, std::size_t count, off_t offset) {
  return ::pwrite(fd, buffer, count, offset);
}
int LinuxSyscalls::Fsync(int fd) {
  return ::fsync(fd);
}
int LinuxSyscalls::StartWriteback(int fd) {
  return ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}
int LinuxSyscalls::Fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int LinuxSyscalls::Fchown(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}
int LinuxSyscalls::Futimens(int fd, const struct timespec times[2]) {
  return ::futimens(fd, times);
}
int LinuxSyscalls::Fallocate(int fd, off_t length) {
  const int error = ::posix_fallocate(fd, 0, length);
  if (error == 0) return 0;
  errno = error;
  return -1;
}
int LinuxSyscalls::Ftruncate(int fd, off_t length) {
  return ::ftruncate(fd, length);
}
int LinuxSyscalls::Fstatfs(int fd, struct statfs* status) {
  return ::fstatfs(fd, status);
}
int LinuxSyscalls::Fstatvfs(int fd, struct statvfs* status) {
  return ::fstatvfs(fd, status);
}
ssize_t LinuxSyscalls::Flistxattr(int fd, char* names, std::size_t size) {
  return ::flistxattr(fd, names, size);
}
ssize_t LinuxSyscalls::Fgetxattr(int fd, const char* name, void* value, std::size_t size) {
  return ::fgetxattr(fd, name, value, size);
}
int LinuxSyscalls::Fsetxattr(int fd, const char* name, const void* value, std::size_t size) {
  return ::fsetxattr(fd, name, value, size, 0);
}
int LinuxSyscalls::Fremovexattr(int fd, const char* name) {
  return ::fremovexattr(fd, name);
}
int LinuxSyscalls::Renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  return ::renameat(fromFolder, from, toFolder, to);
}
int LinuxSyscalls::ExchangeAt(int firstFolder, const char* first, int secondFolder,
                              const char* second) {
  return ::renameat2(firstFolder, first, secondFolder, second, RENAME_EXCHANGE);
}
int LinuxSyscalls::Unlinkat(int folder, const char* path) {
  return ::unlinkat(folder, path, 0);
}
int LinuxSyscalls::RemoveFolderAt(int folder, const char* path) {
  return ::unlinkat(folder, path, AT_REMOVEDIR);
}
int LinuxSyscalls::Mkdirat(int folder, const char* path, mode_t mode) {
  return ::mkdirat(folder, path, mode);
}
int LinuxSyscalls::Chmod(const char* path, mode_t mode) {
  return ::chmod(path, mode);
}
int LinuxSyscalls::Mkdir(const char* path, mode_t mode) {
  return ::mkdir(path, mode);
}
uid_t LinuxSyscalls::Geteuid() {
  return ::geteuid();
}

LinuxSyscalls& SystemSyscalls() {
  static LinuxSyscalls calls;
  return calls;
}

}  // namespace quillmere
