#include "linux_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <utility>
#include <vector>

#include "linux_errors.h"
#include "retry_on_interrupt.h"

namespace quillmere::on_linux {
namespace {

// File systems whose overwrites take fresh blocks.
constexpr long kBtrfsMagic = 0x9123683E;
constexpr long kZfsMagic = 0x2FC12FC1;
constexpr long kBcachefsMagic = 0xCA451A4E;
// One call never moves more than this, so that a count always fits ssize_t.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
constexpr int kListAttempts = 5;

FileError LastError() {
  return ErrorFromErrno(errno);
}

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  if (S_ISFIFO(mode)) return FileKind::kFifo;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  if (S_ISLNK(mode)) return FileKind::kLink;
  return FileKind::kOther;
}

// Extended attribute names, NUL-separated as the system lists them.
Result<std::vector<std::string>> AttributeNames(LinuxSyscalls& sys, int fd) {
  for (int attempt = 0; attempt < kListAttempts; ++attempt) {
    const ssize_t size = sys.Flistxattr(fd, nullptr, 0);
    if (size < 0) {
      if (errno == ENOTSUP) return std::vector<std::string>{};
      return LastError();
    }
    std::string list(static_cast<std::size_t>(size), '\0');
    const ssize_t got = sys.Flistxattr(fd, list.data(), list.size());
    if (got < 0 && errno == ERANGE) continue;  // a name came meanwhile
    if (got < 0) return LastError();
    list.resize(static_cast<std::size_t>(got));
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
      const std::size_t end = list.find('\0', start);
      names.push_back(list.substr(start, end - start));
      start = end == std::string::npos ? list.size() : end + 1;
    }
    return names;
  }
  return ErrorFromErrno(ERANGE);
}

Result<std::string> AttributeValue(LinuxSyscalls& sys, int fd, const std::string& name) {
  for (int attempt = 0; attempt < kListAttempts; ++attempt) {
    const ssize_t size = sys.Fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return LastError();
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = sys.Fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got < 0 && errno == ERANGE) continue;
    if (got < 0) return LastError();
    value.resize(static_cast<std::size_t>(got));
    return value;
  }
  return ErrorFromErrno(ERANGE);
}

std::string UserName(uid_t user) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    return found->pw_name;
  }
  return "user " + std::to_string(user);
}

}  // namespace

Ownership OwnershipFrom(const struct statx& status, uid_t user) {
  Ownership ownership;
  ownership.owner = std::to_string(status.stx_uid);
  ownership.ownerName = UserName(status.stx_uid);
  ownership.ownedByUser = status.stx_uid == user;
  ownership.ownedByAdministrator = status.stx_uid == 0;
  ownership.othersMayWrite = (status.stx_mode & (S_IWGRP | S_IWOTH)) != 0;
  ownership.othersMayRename =
      S_ISDIR(status.stx_mode) && ownership.othersMayWrite && (status.stx_mode & S_ISVTX) == 0;
  return ownership;
}

namespace {

class LinuxOpenFile final : public OpenFile {
 public:
  LinuxOpenFile(LinuxSyscalls& sys, int fd, std::shared_ptr<FolderDescriptor> folder,
                std::string name)
      : sys_(sys), fd_(fd), folder_(std::move(folder)), name_(std::move(name)) {}
  LinuxOpenFile(const LinuxOpenFile&) = delete;
  LinuxOpenFile& operator=(const LinuxOpenFile&) = delete;
  ~LinuxOpenFile() override { sys_.Close(fd_); }

  Result<FileInfo> Info() override {
    struct statx status {};
    if (sys_.Statx(fd_, "", AT_EMPTY_PATH, &status) != 0) return LastError();
    return InfoFromStatx(status);
  }

  Result<Ownership> Owner() override {
    struct statx status {};
    if (sys_.Statx(fd_, "", AT_EMPTY_PATH, &status) != 0) return LastError();
    return OwnershipFrom(status, sys_.Geteuid());
  }

  void TakeOwnerOf(OpenFile& file) override {
    Result<Ownership> owner = file.Owner();
    if (!owner.has_value() || owner->ownedByUser) return;
    // Only an administrator may; for anyone else the file stays theirs.
    sys_.Fchown(fd_, static_cast<uid_t>(std::stoul(owner->owner)), static_cast<gid_t>(-1));
  }

  Result<std::size_t> ReadAt(char* buffer, std::size_t count, std::uint64_t offset) override {
    const ssize_t got = RetryOnInterrupt([&] {
      return sys_.Pread(fd_, buffer, std::min(count, kMaxChunk), static_cast<off_t>(offset));
    });
    if (got < 0) return LastError();
    return static_cast<std::size_t>(got);
  }

  MaybeError WriteAt(const char* data, std::size_t count, std::uint64_t offset) override {
    while (count > 0) {
      const ssize_t put = RetryOnInterrupt([&] {
        return sys_.Pwrite(fd_, data, std::min(count, kMaxChunk), static_cast<off_t>(offset));
      });
      if (put < 0) return LastError();
      if (put == 0) return ErrorFromErrno(EIO);
      data += put;
      offset += static_cast<std::uint64_t>(put);
      count -= static_cast<std::size_t>(put);
    }
    return std::nullopt;
  }

  MaybeError Reserve(std::uint64_t length) override {
    return Check(sys_.Fallocate(fd_, static_cast<off_t>(length)));
  }
  MaybeError Truncate(std::uint64_t length) override {
    return Check(sys_.Ftruncate(fd_, static_cast<off_t>(length)));
  }
  MaybeError Sync() override { return Check(sys_.Fsync(fd_)); }
  // Only a head start for the Sync that follows: a failure here is told by it.
  void StartSync() override { (void)sys_.StartWriteback(fd_); }

  Result<FileAttributes> ReadAttributes() override {
    struct statx status {};
    if (sys_.Statx(fd_, "", AT_EMPTY_PATH, &status) != 0) return LastError();
    FileAttributes attributes{status.stx_uid, status.stx_gid, status.stx_mode & 07777u, {}};
    Result<std::vector<std::string>> names = AttributeNames(sys_, fd_);
    if (!names.has_value()) return names.error();
    for (const std::string& name : *names) {
      Result<std::string> value = AttributeValue(sys_, fd_, name);
      if (!value.has_value()) return value.error();
      attributes.named.emplace_back(name, std::move(*value));
    }
    return attributes;
  }

  Result<std::uint32_t> ReadMode() override {
    struct statx status {};
    if (sys_.Statx(fd_, "", AT_EMPTY_PATH, &status) != 0) return LastError();
    return std::uint32_t{status.stx_mode & 07777u};
  }

  MaybeError WriteAttributes(const FileAttributes& attributes) override {
    // The owner first: a change of owner clears the set-user-ID and
    // set-group-ID bits and file capabilities, which come back below.
    if (MaybeError error = Check(sys_.Fchown(fd_, attributes.owner, attributes.group))) {
      return error;
    }
    for (const auto& [name, value] : attributes.named) {
      if (MaybeError error = Check(sys_.Fsetxattr(fd_, name.c_str(), value.data(), value.size()))) {
        return error;
      }
    }
    // What the new file got from its folder and the original lacks, such as
    // a folder's default access list, goes.
    Result<std::vector<std::string>> own = AttributeNames(sys_, fd_);
    if (!own.has_value()) return own.error();
    for (const std::string& name : *own) {
      const bool wanted = std::any_of(attributes.named.begin(), attributes.named.end(),
                                      [&](const auto& item) { return item.first == name; });
      if (wanted) continue;
      if (MaybeError error = Check(sys_.Fremovexattr(fd_, name.c_str()))) return error;
    }
    return Check(sys_.Fchmod(fd_, static_cast<mode_t>(attributes.mode)));
  }

  MaybeError SetTimes(Timestamp accessed, Timestamp modified) override {
    const timespec times[2] = {{accessed.seconds, accessed.nanoseconds},
                               {modified.seconds, modified.nanoseconds}};
    return Check(sys_.Futimens(fd_, times));
  }

  MaybeError SetMode(std::uint32_t mode) override {
    return Check(sys_.Fchmod(fd_, static_cast<mode_t>(mode & 07777)));
  }

  bool CopiesOnWrite() override {
    struct statfs status {};
    if (sys_.Fstatfs(fd_, &status) != 0) return false;
    const long type = static_cast<long>(status.f_type);
    return type == kBtrfsMagic || type == kZfsMagic || type == kBcachefsMagic;
  }

  Result<std::uint64_t> FreeSpace() override {
    struct statvfs status {};
    if (sys_.Fstatvfs(fd_, &status) != 0) return LastError();
    return std::uint64_t{status.f_bavail} * status.f_frsize;
  }

  MaybeError RenameTo(const std::string& name) override {
    const int folder = folder_->get();
    if (MaybeError error = Check(sys_.Renameat(folder, name_.c_str(), folder, name.c_str()))) {
      return error;
    }
    name_ = name;
    return std::nullopt;
  }

  MaybeError ExchangeWith(OpenFile& other) override {
    auto* peer = dynamic_cast<LinuxOpenFile*>(&other);
    if (peer == nullptr) return OpenFile::ExchangeWith(other);
    if (MaybeError error = Check(sys_.ExchangeAt(folder_->get(), name_.c_str(),
                                                 peer->folder_->get(), peer->name_.c_str()))) {
      return error;
    }
    std::swap(name_, peer->name_);
    return std::nullopt;
  }

  // A descriptor may stay open over a rename.
  void AllowReplace() override {}

  // A write lease: another program's open waits until it is given up (or
  // the system's lease-break time passes). The lease's break is signalled
  // with SIGURG, which nothing here handles and which is ignored unless
  // handled, rather than the default SIGIO, which would end the program.
  bool HoldOthersBack() override {
    if (sys_.Fcntl(fd_, F_SETSIG, SIGURG) != 0) return false;
    leased_ = sys_.Fcntl(fd_, F_SETLEASE, F_WRLCK) == 0;
    return leased_;
  }

  void LetOthersIn() override {
    if (leased_) sys_.Fcntl(fd_, F_SETLEASE, F_UNLCK);
    leased_ = false;
  }

 private:
  static MaybeError Check(int result) {
    if (result == 0) return std::nullopt;
    return LastError();
  }

  LinuxSyscalls& sys_;
  int fd_;
  std::shared_ptr<FolderDescriptor> folder_;
  std::string name_;
  bool leased_ = false;
};

int OpenAt(LinuxSyscalls& sys, int folder, const std::string& name, int flags, mode_t mode) {
  return RetryOnInterrupt([&] {
    return sys.Openat(folder, name.c_str(), flags | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
  });
}

// Takes an exclusive advisory lock without waiting. Only a lock held by
// someone else refuses the file; a file system that cannot lock gives what
// exclusion it allows, which is none.
MaybeError LockExclusive(LinuxSyscalls& sys, int fd) {
  if (RetryOnInterrupt([&] { return sys.Flock(fd, LOCK_EX | LOCK_NB); }) == 0) return std::nullopt;
  if (errno == EWOULDBLOCK) return FileError{FileProblem::kLocked, ""};
  return std::nullopt;
}

}  // namespace

FileInfo InfoFromStatx(const struct statx& status) {
  const auto time = [](const statx_timestamp& at) { return Timestamp{at.tv_sec, at.tv_nsec}; };
  FileInfo info;
  info.key = {makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino, 0};
  if ((status.stx_mask & STATX_BTIME) != 0) {
    info.key.birth = static_cast<std::uint64_t>(status.stx_btime.tv_sec) * 1000000000u +
                     status.stx_btime.tv_nsec;
  }
  info.kind = KindOf(status.stx_mode);
  info.size = status.stx_size;
  info.accessed = time(status.stx_atime);
  info.modified = time(status.stx_mtime);
  info.changed = time(status.stx_ctime);
  info.linkCount = status.stx_nlink;
  info.writeBitSet = (status.stx_mode & 0222) != 0;
  return info;
}

LinuxFolder::LinuxFolder(LinuxSyscalls& sys, std::shared_ptr<FolderDescriptor> fd, std::string path)
    : sys_(sys), fd_(std::move(fd)), path_(std::move(path)) {}

Result<std::unique_ptr<OpenFile>> LinuxFolder::Open(const std::string& name, Access access) {
  // Not blocking: a FIFO or a terminal opens at once and is then refused.
  const int flags = (access == Access::kRead ? O_RDONLY : O_RDWR) | O_NONBLOCK;
  const int fd = OpenAt(sys_, fd_->get(), name, flags, 0);
  if (fd < 0) {
    // The name became a link after it was looked up.
    if (errno == ELOOP) return FileError{FileProblem::kChanged, "it became a link"};
    return LastError();
  }
  auto file = std::make_unique<LinuxOpenFile>(sys_, fd, fd_, name);
  if (MaybeError error = LockExclusive(sys_, fd)) return *error;
  return std::unique_ptr<OpenFile>(std::move(file));
}

Result<std::unique_ptr<OpenFile>> LinuxFolder::Create(const std::string& name) {
  const int fd = OpenAt(sys_, fd_->get(), name, O_RDWR | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
  if (fd < 0) return LastError();
  return std::unique_ptr<OpenFile>(std::make_unique<LinuxOpenFile>(sys_, fd, fd_, name));
}

Result<FileInfo> LinuxFolder::InfoOf(const std::string& name) {
  struct statx status {};
  if (sys_.Statx(fd_->get(), name.c_str(), AT_SYMLINK_NOFOLLOW, &status) != 0) return LastError();
  return InfoFromStatx(status);
}

Result<Ownership> LinuxFolder::OwnerOf(const std::string& name) {
  struct statx status {};
  if (sys_.Statx(fd_->get(), name.c_str(), AT_SYMLINK_NOFOLLOW, &status) != 0) return LastError();
  return OwnershipFrom(status, sys_.Geteuid());
}

Result<Ownership> LinuxFolder::Owner() {
  struct statx status {};
  if (sys_.Statx(fd_->get(), "", AT_EMPTY_PATH, &status) != 0) return LastError();
  return OwnershipFrom(status, sys_.Geteuid());
}

MaybeError LinuxFolder::Remove(const std::string& name) {
  if (sys_.Unlinkat(fd_->get(), name.c_str()) == 0) return std::nullopt;
  return LastError();
}

Result<std::unique_ptr<Folder>> LinuxFolder::MakeFolder(const std::string& name) {
  if (sys_.Mkdirat(fd_->get(), name.c_str(), S_IRWXU) != 0) return LastError();
  return OpenFolder(name);
}

Result<std::unique_ptr<Folder>> LinuxFolder::OpenFolder(const std::string& name) {
  const int fd = OpenAt(sys_, fd_->get(), name, O_PATH | O_DIRECTORY, 0);
  if (fd < 0) return LastError();
  return std::unique_ptr<Folder>(std::make_unique<LinuxFolder>(
      sys_, std::make_shared<FolderDescriptor>(sys_, fd), PathOf(name)));
}

MaybeError LinuxFolder::RemoveFolder(const std::string& name) {
  if (sys_.RemoveFolderAt(fd_->get(), name.c_str()) == 0) return std::nullopt;
  return LastError();
}

Result<std::vector<std::string>> LinuxFolder::Names() {
  const int fd = OpenAt(sys_, fd_->get(), ".", O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return LastError();
  struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
  };
  const std::unique_ptr<DIR, CloseFolder> folder(::fdopendir(fd));
  if (!folder) {
    const FileError error = LastError();
    sys_.Close(fd);
    return error;
  }
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(folder.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (errno != 0) return LastError();
  return names;
}

std::string LinuxFolder::PathOf(const std::string& name) const {
  return path_ == "/" ? path_ + name : path_ + "/" + name;
}

MaybeError LinuxFolder::Sync() {
  const int fd = OpenAt(sys_, fd_->get(), ".", O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return LastError();
  const int result = sys_.Fsync(fd);
  const int error = errno;
  sys_.Close(fd);
  if (result == 0) return std::nullopt;
  return ErrorFromErrno(error);
}

}  // namespace quillmere::on_linux
