#pragma once

#include <memory>
#include <string>

#include "file_system.h"
#include "linux_syscalls.h"

namespace quillmere {

// The file primitives of Linux (statx, O_PATH, extended attributes, leases).
// Paths are resolved one name at a time through folder descriptors, so the
// link rule is checked at every link, and no name is reached through a link
// that was not checked.
class LinuxFileSystem final : public FileSystem {
 public:
  // `recoveryFolder` is the private folder for recovery copies; empty when
  // there is none.
  LinuxFileSystem(LinuxSyscalls& sys, std::string recoveryFolder);

  [[nodiscard]] Result<Location> Locate(const std::string& path) override;
  [[nodiscard]] Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override;
  [[nodiscard]] Result<std::unique_ptr<Folder>> RecoveryFolder(bool create) override;
  [[nodiscard]] Result<std::unique_ptr<Folder>> PrivateFolder(const std::string& path,
                                                              bool create) override;

 private:
  [[nodiscard]] MaybeError MakeFoldersOnTheWay(const std::string& path);

  LinuxSyscalls& sys_;
  std::string recoveryFolder_;
};

}  // namespace quillmere
