#include "linux_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "linux_errors.h"
#include "linux_files.h"
#include "system_files.h"

namespace quillmere {

using on_linux::ErrorFromErrno;
using on_linux::FolderDescriptor;
using on_linux::LinuxFolder;

namespace {

// As many links as the system itself follows in one path.
constexpr int kMostLinks = 40;
constexpr uid_t kAdministrator = 0;

std::deque<std::string> NamesOf(const std::string& path) {
  std::deque<std::string> names;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

bool OnlyCurrentFolderLeft(const std::deque<std::string>& names) {
  for (const std::string& name : names) {
    if (name != ".") return false;
  }
  return true;
}

// The walk through a path: the folder reached so far and how it is named.
class PathWalk {
 public:
  explicit PathWalk(LinuxSyscalls& sys) : sys_(sys) {}

  // Starts at the root, or at the working folder, named in full where the
  // system can tell its name.
  MaybeError Start(bool absolute) {
    shown_.clear();
    absolute_ = absolute;
    if (!absolute) {
      const std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), &std::free);
      if (here && here.get()[0] == '/') {
        absolute_ = true;
        for (std::string& name : NamesOf(here.get())) shown_.push_back(std::move(name));
      }
    }
    return Enter(AT_FDCWD, absolute ? "/" : ".");
  }

  MaybeError Enter(int from, const std::string& name) {
    const int fd =
        sys_.Openat(from, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) return ErrorFromErrno(errno == ELOOP ? ENOENT : errno);
    folder_ = std::make_shared<FolderDescriptor>(sys_, fd);
    return std::nullopt;
  }

  MaybeError Down(const std::string& name) {
    if (MaybeError error = Enter(folder_->get(), name)) return error;
    shown_.push_back(name);
    return std::nullopt;
  }

  MaybeError Up() {
    if (MaybeError error = Enter(folder_->get(), "..")) return error;
    if (!shown_.empty() && shown_.back() != "..") {
      shown_.pop_back();
    } else if (!absolute_) {
      shown_.push_back("..");
    }
    return std::nullopt;
  }

  int folder() const { return folder_->get(); }

  Location At(const std::string& name) const {
    std::string path(absolute_ ? "/" : "");
    for (const std::string& part : shown_) {
      if (!path.empty() && path.back() != '/') path += '/';
      path += part;
    }
    if (path.empty()) path.push_back('.');
    return {std::make_unique<LinuxFolder>(sys_, folder_, std::move(path)), name};
  }

 private:
  LinuxSyscalls& sys_;
  std::shared_ptr<FolderDescriptor> folder_;
  bool absolute_ = false;
  std::vector<std::string> shown_;
};

// A link is followed only when its owner is the user running the program,
// the administrator, or the owner of what it points to; otherwise another
// user could lead a run to files that are not theirs.
MaybeError CheckLinkOwner(LinuxSyscalls& sys, int folder, const std::string& name,
                          const struct stat& link) {
  if (link.st_uid == sys.Geteuid() || link.st_uid == kAdministrator) return std::nullopt;
  struct stat target {};
  if (sys.Fstatat(folder, name.c_str(), &target, 0) != 0) return ErrorFromErrno(errno);
  if (target.st_uid == link.st_uid) return std::nullopt;
  return FileError{FileProblem::kForeignLink, ""};
}

Result<std::string> LinkText(LinuxSyscalls& sys, int folder, const std::string& name,
                             std::size_t size) {
  std::string text(size + 1, '\0');
  const ssize_t got = sys.Readlinkat(folder, name.c_str(), text.data(), text.size());
  if (got < 0) return ErrorFromErrno(errno);
  // A link that grew since it was measured is no longer the link checked.
  if (static_cast<std::size_t>(got) > size) return FileError{FileProblem::kChanged, ""};
  text.resize(static_cast<std::size_t>(got));
  return text;
}

}  // namespace

LinuxFileSystem::LinuxFileSystem(LinuxSyscalls& sys, std::string recoveryFolder)
    : sys_(sys), recoveryFolder_(std::move(recoveryFolder)) {}

Result<Location> LinuxFileSystem::Locate(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    return FileError{FileProblem::kNotFound, ""};
  }
  PathWalk walk(sys_);
  if (MaybeError error = walk.Start(path.front() == '/')) return *error;
  std::deque<std::string> names = NamesOf(path);
  int linksLeft = kMostLinks;
  while (!names.empty()) {
    const std::string name = std::move(names.front());
    names.pop_front();
    if (name == ".") continue;
    if (name == "..") {
      if (MaybeError error = walk.Up()) return *error;
      continue;
    }
    struct stat status {};
    if (sys_.Fstatat(walk.folder(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      return ErrorFromErrno(errno);
    }
    if (S_ISLNK(status.st_mode)) {
      if (--linksLeft < 0) return ErrorFromErrno(ELOOP);
      if (MaybeError error = CheckLinkOwner(sys_, walk.folder(), name, status)) return *error;
      Result<std::string> text =
          LinkText(sys_, walk.folder(), name, static_cast<std::size_t>(status.st_size));
      if (!text.has_value()) return text.error();
      if (!text->empty() && text->front() == '/') {
        if (MaybeError error = walk.Start(true)) return *error;
      }
      std::deque<std::string> linked = NamesOf(*text);
      names.insert(names.begin(), linked.begin(), linked.end());
      continue;
    }
    if (OnlyCurrentFolderLeft(names)) {
      // A path ending in '/' names a folder, whatever stands there.
      if (path.back() == '/' && !S_ISDIR(status.st_mode)) return ErrorFromErrno(ENOTDIR);
      return walk.At(name);
    }
    if (!S_ISDIR(status.st_mode)) return ErrorFromErrno(ENOTDIR);
    if (MaybeError error = walk.Down(name)) return *error;
  }
  // The path names a folder ("/", ".", "a/.."): the folder itself.
  return walk.At(".");
}

Result<std::unique_ptr<Folder>> LinuxFileSystem::OpenFolder(const std::string& path) {
  const int fd = sys_.Openat(AT_FDCWD, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return ErrorFromErrno(errno);
  return std::unique_ptr<Folder>(
      std::make_unique<LinuxFolder>(sys_, std::make_shared<FolderDescriptor>(sys_, fd), path));
}

// The recovery copies judge their folder themselves: a copy for the file in
// a folder that is not private is passed over with a note.
Result<std::unique_ptr<Folder>> LinuxFileSystem::RecoveryFolder(bool create) {
  if (recoveryFolder_.empty()) return FileError{FileProblem::kNotFound, "no home folder"};
  if (create) {
    if (MaybeError error = MakeFoldersOnTheWay(recoveryFolder_)) return *error;
  }
  return OpenFolder(recoveryFolder_);
}

Result<std::unique_ptr<Folder>> LinuxFileSystem::PrivateFolder(const std::string& path,
                                                               bool create) {
  if (path.empty() || path.front() != '/') return FileError{FileProblem::kNotFound, path};
  if (create) {
    if (MaybeError error = MakeFoldersOnTheWay(path)) return *error;
  }
  Result<std::unique_ptr<Folder>> folder = OpenFolder(path);
  if (!folder.has_value()) return folder;
  Result<Ownership> owner = (*folder)->Owner();
  if (!owner.has_value()) return owner.error();
  if (!owner->ownedByUser) {
    return FileError{FileProblem::kUnsafeStateFolder, path + " is owned by " + owner->ownerName};
  }
  if (owner->othersMayWrite) {
    return FileError{FileProblem::kUnsafeStateFolder, "others may write in " + path};
  }
  // Earlier versions made it readable by others: it is closed now, and with
  // it what they put inside.
  struct statx status {};
  if (sys_.Statx(AT_FDCWD, path.c_str(), 0, &status) == 0 && (status.stx_mode & 077) != 0) {
    sys_.Chmod(path.c_str(), S_IRWXU);
  }
  return folder;
}

// Each missing folder on the way, for this user alone, and only inside a
// folder no one else may change: not inside another user's state folder (as
// after `sudo -E`), where that user could swap it.
MaybeError LinuxFileSystem::MakeFoldersOnTheWay(const std::string& path) {
  std::string trusted;  // the last folder on the way found safe to make one in
  std::string why;      // why the last one found was not
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    struct statx status {};
    if (sys_.Statx(AT_FDCWD, part.c_str(), 0, &status) == 0) {
      const Ownership owner = on_linux::OwnershipFrom(status, sys_.Geteuid());
      if ((owner.ownedByUser || owner.ownedByAdministrator) && !owner.othersMayRename) {
        trusted = part;
      } else {
        why = owner.othersMayRename ? part + " may be changed by other users"
                                    : part + " is owned by " + owner.ownerName;
        trusted.clear();
      }
    } else {
      if (errno != ENOENT) return ErrorFromErrno(errno);
      if (trusted.empty()) return FileError{FileProblem::kUnsafeStateFolder, why};
      if (sys_.Mkdir(part.c_str(), S_IRWXU) != 0 && errno != EEXIST) return ErrorFromErrno(errno);
      trusted = part;
    }
    if (slash == std::string::npos) return std::nullopt;
  }
}

std::string DefaultStateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/quillmere";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/quillmere";
  return "";
}

std::string DefaultRecoveryFolder() {
  const std::string state = DefaultStateFolder();
  return state.empty() ? state : state + "/recovery";
}

std::unique_ptr<FileSystem> MakeSystemFileSystem(const std::string& recoveryFolder) {
  return std::make_unique<LinuxFileSystem>(SystemSyscalls(), recoveryFolder);
}

}  // namespace quillmere
