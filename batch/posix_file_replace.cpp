#include "posix_file_replace.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>
#include <random>

#include "posix_file_io.h"

namespace quillmere::detail {
namespace {

// Keeps the temporary name within the usual 255-byte limit of a file name.
constexpr std::size_t kMaxBaseInTempName = 200;
constexpr int kTempNameAttempts = 100;

std::string RandomSuffix() {
  static std::random_device device;
  char text[17];
  const std::uint64_t value = (std::uint64_t{device()} << 32) ^ device();
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// A new file beside the target, removed again unless it was put in place.
class TempFile {
 public:
  explicit TempFile(PosixSyscalls& sys) : sys_(sys) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (fd_ >= 0) sys_.Close(fd_);
    if (created_ && !placed_) sys_.Unlink(name_.c_str());
  }

  // Creates the file, readable and writable by its owner only until its
  // final permission bits are set.
  bool Create(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = target.substr(0, slash + 1);
    const std::string base = target.substr(slash + 1, kMaxBaseInTempName);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
      name_ = folder + "." + base + "." + RandomSuffix() + ".tmp";
      fd_ =
          sys_.Open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                    S_IRUSR | S_IWUSR);
      if (fd_ >= 0) {
        created_ = true;
        return true;
      }
      if (errno != EEXIST && errno != EINTR) return false;
    }
    return false;
  }

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }

  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return sys_.Close(fd) == 0;
  }

  void MarkPlaced() { placed_ = true; }

 private:
  PosixSyscalls& sys_;
  std::string name_;
  int fd_ = -1;
  bool created_ = false;
  bool placed_ = false;
};

// Gives the new file the original's owner and group where this process may;
// an ordinary user can at least keep a group it belongs to.
void KeepOwner(PosixSyscalls& sys, int fd, const struct stat& original) {
  if (sys.Fchown(fd, original.st_uid, original.st_gid) == 0) return;
  sys.Fchown(fd, static_cast<uid_t>(-1), original.st_gid);
}

// Whether `target` still names the file that was opened, unchanged.
bool StillSame(PosixSyscalls& sys, const std::string& target, const struct stat& original) {
  struct stat now {};
  return sys.Stat(target.c_str(), &now) == 0 && IdentityOf(now) == IdentityOf(original);
}

// Puts the old content back after a failed overwrite, as far as it goes.
void PutBack(PosixSyscalls& sys, int fd, const std::string& previous) {
  if (!WriteAllAtStart(sys, fd, previous)) return;
  sys.Ftruncate(fd, static_cast<off_t>(previous.size()));
  sys.Fsync(fd);
}

}  // namespace

ReplaceResult ReplaceByRename(PosixSyscalls& sys, const std::string& target,
                              const struct stat& original, const std::string& text) {
  TempFile temp(sys);
  if (!temp.Create(target)) {
    return errno == EACCES || errno == EPERM ? ReplaceResult::kNoTempFile : ReplaceResult::kFailed;
  }
  if (!WriteAll(sys, temp.fd(), text)) return ReplaceResult::kFailed;
  // The owner first: a change of owner clears the set-user-ID and set-group-ID
  // bits, which the permission bits then put back.
  KeepOwner(sys, temp.fd(), original);
  if (sys.Fchmod(temp.fd(), original.st_mode & 07777) != 0) return ReplaceResult::kFailed;
  if (sys.Fsync(temp.fd()) != 0) return ReplaceResult::kFailed;
  if (!temp.Close()) return ReplaceResult::kFailed;
  if (!StillSame(sys, target, original)) return ReplaceResult::kFailed;
  if (sys.Rename(temp.name().c_str(), target.c_str()) != 0) return ReplaceResult::kFailed;
  temp.MarkPlaced();
  return ReplaceResult::kDone;
}

bool OverwriteInPlace(PosixSyscalls& sys, const std::string& target, int originalFd,
                      const struct stat& original, const std::string& text) {
  const auto oldSize = static_cast<std::size_t>(original.st_size);
  const auto newSize = static_cast<off_t>(text.size());
  std::string previous;
  try {
    previous.resize(oldSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!ReadExactlyAt(sys, originalFd, previous.data(), oldSize, 0)) return false;

  FileDescriptor out(sys, OpenExisting(sys, target, O_WRONLY));
  if (!out.valid()) return false;
  struct stat now {};
  if (sys.Fstat(out.get(), &now) != 0 || now.st_dev != original.st_dev ||
      now.st_ino != original.st_ino) {
    return false;
  }
  if (newSize > original.st_size && sys.Fallocate(out.get(), newSize) != 0) {
    // A partial reservation may have grown the file; only zeros were added.
    sys.Ftruncate(out.get(), original.st_size);
    return false;
  }
  if (WriteAllAtStart(sys, out.get(), text) && sys.Ftruncate(out.get(), newSize) == 0 &&
      sys.Fsync(out.get()) == 0) {
    return out.Close();
  }
  PutBack(sys, out.get(), previous);
  return false;
}

}  // namespace quillmere::detail
