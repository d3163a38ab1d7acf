#pragma once

#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "linux_syscalls.h"

namespace quillmere::on_linux {

// A folder's descriptor, shared by the folder and the files opened in it.
class FolderDescriptor {
 public:
  FolderDescriptor(LinuxSyscalls& sys, int fd) : sys_(sys), fd_(fd) {}
  FolderDescriptor(const FolderDescriptor&) = delete;
  FolderDescriptor& operator=(const FolderDescriptor&) = delete;
  ~FolderDescriptor() { sys_.Close(fd_); }
  int get() const { return fd_; }

 private:
  LinuxSyscalls& sys_;
  int fd_;
};

// A folder reached through a descriptor, so that no name inside it can
// lead elsewhere through a renamed or replaced parent folder.
class LinuxFolder final : public Folder {
 public:
  LinuxFolder(LinuxSyscalls& sys, std::shared_ptr<FolderDescriptor> fd, std::string path);

  [[nodiscard]] Result<std::unique_ptr<OpenFile>> Open(const std::string& name,
                                                       Access access) override;
  [[nodiscard]] Result<std::unique_ptr<OpenFile>> Create(const std::string& name) override;
  [[nodiscard]] Result<FileInfo> InfoOf(const std::string& name) override;
  [[nodiscard]] Result<Ownership> OwnerOf(const std::string& name) override;
  [[nodiscard]] Result<Ownership> Owner() override;
  [[nodiscard]] MaybeError Remove(const std::string& name) override;
  [[nodiscard]] Result<std::unique_ptr<Folder>> MakeFolder(const std::string& name) override;
  [[nodiscard]] Result<std::unique_ptr<Folder>> OpenFolder(const std::string& name) override;
  [[nodiscard]] MaybeError RemoveFolder(const std::string& name) override;
  [[nodiscard]] Result<std::vector<std::string>> Names() override;
  [[nodiscard]] MaybeError Sync() override;
  std::string Path() const override { return path_; }
  std::string PathOf(const std::string& name) const override;

 private:
  LinuxSyscalls& sys_;
  std::shared_ptr<FolderDescriptor> fd_;
  std::string path_;
};

FileInfo InfoFromStatx(const struct statx& status);
// Who owns what `status` describes, seen by the user `user`.
Ownership OwnershipFrom(const struct statx& status, uid_t user);

}  // namespace quillmere::on_linux
