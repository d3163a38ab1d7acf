#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "file_store.h"
#include "result.h"

namespace quillmere {

enum class FileKind { kRegular, kFolder, kDevice, kFifo, kSocket, kLink, kOther };

struct FileInfo {
  FileKey key;
  FileKind kind = FileKind::kOther;
  std::uint64_t size = 0;
  Timestamp accessed;
  Timestamp modified;
  Timestamp changed;  // moves with any change of content or metadata
  std::uint64_t linkCount = 1;
  bool writeBitSet = true;  // some permission bit allows writing
};

// What tells one version of a file from another.
struct FileVersion {
  FileKey key;
  std::uint64_t size = 0;
  Timestamp modified;
  Timestamp changed;

  bool operator==(const FileVersion&) const = default;
};

inline FileVersion VersionOf(const FileInfo& info) {
  return {info.key, info.size, info.modified, info.changed};
}

// Who owns a file and who may use it, as the system records it: owner, group
// and mode bits (or attribute flags), and named items such as extended
// attributes, access lists and alternate streams. Only the system's own
// primitives look inside.
struct FileAttributes {
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint32_t mode = 0;
  std::vector<std::pair<std::string, std::string>> named;
};

enum class Access { kRead, kReadWrite };

// Who owns a file or a folder, and who else may change it.
struct Ownership {
  std::string owner;                  // as the system names users: a user id, a security id
  std::string ownerName;              // as people know the owner: "alice", or the id
  bool ownedByUser = false;           // the user running the program
  bool ownedByAdministrator = false;  // root; on Windows the administrators or the system
  // Users other than the owner may write it: a group or other write bit.
  bool othersMayWrite = false;
  // A folder: users other than the owner may remove or rename names in it
  // that are not theirs (written by others, without the sticky bit).
  bool othersMayRename = false;
};

// An open file, closed when the object goes.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  [[nodiscard]] virtual Result<FileInfo> Info() = 0;
  // Reads up to `count` bytes at `offset`: how many were read, 0 at the end.
  [[nodiscard]] virtual Result<std::size_t> ReadAt(char* buffer, std::size_t count,
                                                   std::uint64_t offset) = 0;
  // Writes all `count` bytes at `offset`.
  [[nodiscard]] virtual MaybeError WriteAt(const char* data, std::size_t count,
                                           std::uint64_t offset) = 0;
  // Reserves disk space for the first `length` bytes; the file may grow.
  [[nodiscard]] virtual MaybeError Reserve(std::uint64_t length) = 0;
  [[nodiscard]] virtual MaybeError Truncate(std::uint64_t length) = 0;
  [[nodiscard]] virtual MaybeError Sync() = 0;
  // Starts writing the file out to the disk without waiting, where the
  // system can, so that a Sync soon after (of this file and of others) has
  // less to wait for.
  virtual void StartSync() {}

  [[nodiscard]] virtual Result<FileAttributes> ReadAttributes() = 0;
  // The mode of ReadAttributes alone, where it comes cheaper.
  [[nodiscard]] virtual Result<std::uint32_t> ReadMode() {
    Result<FileAttributes> attributes = ReadAttributes();
    if (!attributes.has_value()) return attributes.error();
    return attributes->mode;
  }
  [[nodiscard]] virtual Result<Ownership> Owner() = 0;
  // Gives this file the owner of `file`, where this process may; a file made
  // by an administrator for another user's file stays usable by that user.
  virtual void TakeOwnerOf(OpenFile& file) = 0;
  // Sets the times of last access and change of content.
  [[nodiscard]] virtual MaybeError SetTimes(Timestamp accessed, Timestamp modified) = 0;
  // Sets the permission bits (POSIX) or the attribute flags (Windows).
  [[nodiscard]] virtual MaybeError SetMode(std::uint32_t mode) = 0;
  // Gives the file exactly these attributes, or fails.
  [[nodiscard]] virtual MaybeError WriteAttributes(const FileAttributes& attributes) = 0;

  // Whether overwriting the file needs fresh disk space (a copy-on-write
  // file system), and how much space this process may still use there.
  virtual bool CopiesOnWrite() = 0;
  [[nodiscard]] virtual Result<std::uint64_t> FreeSpace() = 0;

  // Gives the file the name `name` in its folder, atomically replacing the
  // file that had it.
  [[nodiscard]] virtual MaybeError RenameTo(const std::string& name) = 0;
  // Lets this file be replaced by a rename: on systems that refuse to
  // replace an open file the handle is closed; elsewhere it stays open (and
  // locked) until the object goes.
  virtual void AllowReplace() = 0;
  // Swaps the names of this file and `other`, which lies in the same
  // folder, atomically: each keeps its content under the other's name.
  // Where the system cannot, an error and nothing changed.
  [[nodiscard]] virtual MaybeError ExchangeWith(OpenFile& other) {
    (void)other;
    return FileError{FileProblem::kSystemError, "names cannot be exchanged here"};
  }

  // Makes any other program that opens the file wait until LetOthersIn,
  // where the system grants that (a lease); whether it does. Windows keeps
  // others out of an open file anyway.
  virtual bool HoldOthersBack() = 0;
  virtual void LetOthersIn() = 0;
};

// A folder in which files are reached by name, with no link followed.
class Folder {
 public:
  virtual ~Folder() = default;

  // Opens an existing file for this process alone: locked against other
  // openers, or shared with nobody. Never blocks on a FIFO or device.
  [[nodiscard]] virtual Result<std::unique_ptr<OpenFile>> Open(const std::string& name,
                                                               Access access) = 0;
  // Creates a new file, readable and writable by its owner only; fails when
  // the name is taken.
  [[nodiscard]] virtual Result<std::unique_ptr<OpenFile>> Create(const std::string& name) = 0;
  [[nodiscard]] virtual Result<FileInfo> InfoOf(const std::string& name) = 0;
  // Who owns the name in the folder (a link itself, not what it points to),
  // and who owns the folder.
  [[nodiscard]] virtual Result<Ownership> OwnerOf(const std::string& name) = 0;
  [[nodiscard]] virtual Result<Ownership> Owner() = 0;
  [[nodiscard]] virtual MaybeError Remove(const std::string& name) = 0;
  // Makes a folder in this one, for this user alone; fails when the name is
  // taken. Opens a folder in this one, no link followed. Removes an empty
  // one.
  [[nodiscard]] virtual Result<std::unique_ptr<Folder>> MakeFolder(const std::string& name) = 0;
  [[nodiscard]] virtual Result<std::unique_ptr<Folder>> OpenFolder(const std::string& name) = 0;
  [[nodiscard]] virtual MaybeError RemoveFolder(const std::string& name) = 0;
  // The names in the folder, "." and ".." left out, in no order.
  [[nodiscard]] virtual Result<std::vector<std::string>> Names() = 0;
  // Makes the names in the folder durable.
  [[nodiscard]] virtual MaybeError Sync() = 0;
  // The folder, and a file in it, as paths the system takes.
  virtual std::string Path() const = 0;
  virtual std::string PathOf(const std::string& name) const = 0;
};

// Where a path leads: the folder of the file it names, and its name there.
struct Location {
  std::unique_ptr<Folder> folder;
  std::string name;
};

// The primitives of a system's files that the saving policy is written on.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Follows the path's links, but only those that the link rule allows: a
  // link is followed when it is owned by the user running the program, by
  // the system's administrator, or by the owner of what it points to.
  [[nodiscard]] virtual Result<Location> Locate(const std::string& path) = 0;
  [[nodiscard]] virtual Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) = 0;
  // The private folder for recovery copies that cannot go beside their file;
  // made, for this user alone and only inside folders no other user may
  // change, when `create` is set and it is missing. Whose it is now is for
  // the caller to judge.
  [[nodiscard]] virtual Result<std::unique_ptr<Folder>> RecoveryFolder(bool create) = 0;
  // A private folder of the program's at `path` (the undo journals): made,
  // with each missing folder on the way, for this user alone when `create`
  // is set, and only inside folders no other user may change. It must be
  // the user's and closed to others, or it is refused with the reason.
  [[nodiscard]] virtual Result<std::unique_ptr<Folder>> PrivateFolder(const std::string& path,
                                                                      bool create) = 0;
  // Why a file nobody may write is read-only, in the system's own words.
  virtual std::string ReadOnlyDetail() const { return "no write bit"; }
};

}  // namespace quillmere
