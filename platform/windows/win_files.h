#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "file_system.h"

namespace quillmere::on_windows {

// A folder named by its full path in UTF-16; Windows offers no handle
// through which to create files in a folder.
class WinFolder final : public Folder {
 public:
  // Long paths are kept in the form that reaches them.
  explicit WinFolder(const std::wstring& path);

  [[nodiscard]] Result<std::unique_ptr<OpenFile>> Open(const std::string& name,
                                                       Access access) override;
  [[nodiscard]] Result<std::unique_ptr<OpenFile>> Create(const std::string& name) override;
  [[nodiscard]] Result<FileInfo> InfoOf(const std::string& name) override;
  // The name itself, a reparse point not followed; the folder itself.
  [[nodiscard]] Result<Ownership> OwnerOf(const std::string& name) override;
  [[nodiscard]] Result<Ownership> Owner() override;
  [[nodiscard]] MaybeError Remove(const std::string& name) override;
  // A new folder inherits the access list of this one: the user's private
  // state folder gives its own on.
  [[nodiscard]] Result<std::unique_ptr<Folder>> MakeFolder(const std::string& name) override;
  // A reparse point (junction, link) is refused as one, not followed.
  [[nodiscard]] Result<std::unique_ptr<Folder>> OpenFolder(const std::string& name) override;
  [[nodiscard]] MaybeError RemoveFolder(const std::string& name) override;
  // Names that are no UTF-8 (a lone surrogate) are left out: no path of the
  // program's could reach them.
  [[nodiscard]] Result<std::vector<std::string>> Names() override;
  // Windows records renames in its file system's journal and cannot sync a
  // folder.
  [[nodiscard]] MaybeError Sync() override { return std::nullopt; }
  std::string Path() const override;
  std::string PathOf(const std::string& name) const override;

 private:
  // The full path of `name`, or nothing when the name is no UTF-8.
  [[nodiscard]] Result<std::wstring> Full(const std::string& name) const;

  std::wstring path_;
};

FileInfo InfoFromHandle(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info);

}  // namespace quillmere::on_windows
