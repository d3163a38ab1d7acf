#pragma once

#include <optional>
#include <set>
#include <string>

#include "file_store.h"
#include "posix_file_io.h"
#include "posix_syscalls.h"

namespace quillmere {

// Files on a POSIX system.
//
// Load reads regular files only (a folder, FIFO or device fails at once), holds
// an exclusive advisory lock while reading, and refuses a file that holds a NUL
// byte, is larger than kMaxLoadSize, or changes while it is read.
//
// Save never creates a file and never leaves a partial one. It refuses a file
// that no permission bit lets anyone write (even for root), one locked by
// another process, and one that is no longer the file the latest Load of the
// same path read (gone, replaced, or changed since). The new text goes to a
// temporary file beside the target, which is flushed and renamed over it with
// the target's permission bits and, where allowed, its owner and group. A
// symbolic link stays a link: its target receives the text. A file with other
// hard links, or in a folder that takes no new file, is overwritten in place
// with its space reserved first and its old content put back on a failed
// write. Extended attributes and ACLs are not carried to a renamed file.
//
// Each file is flushed to disk before it is renamed into place, so a crash
// leaves either the old or the new content. The renames themselves are made
// durable by syncing their folders once, at Flush or when the store goes,
// rather than after every file.
class PosixFileStore final : public FileStore {
 public:
  PosixFileStore();
  explicit PosixFileStore(PosixSyscalls& sys);

  LoadedFile Load(const std::string& path) override;
  bool Save(const std::string& path, const std::string& text) override;
  void Flush() override;
  ~PosixFileStore() override;

 private:
  std::optional<detail::FileIdentity> TakeLoadedIdentity(const std::string& path);

  PosixSyscalls& sys_;
  // What the latest successful Load read, to recognise the file at Save.
  std::string loadedPath_;
  std::optional<detail::FileIdentity> loadedIdentity_;
  // Folders holding renames not yet synced.
  std::set<std::string> unsyncedFolders_;
};

}  // namespace quillmere
