#include "win_files.h"

#include <aclapi.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "win_errors.h"
#include "win_ownership.h"
#include "win_path.h"
#include "win_text.h"

namespace quillmere::on_windows {
namespace {

// One call never moves more than this.
constexpr DWORD kMaxChunk = DWORD{1} << 30;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr SECURITY_INFORMATION kWhoMayUse =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
// The attribute flags a saved file keeps; read-only never applies to a file
// that is saved.
constexpr DWORD kCarriedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr const char* kSecurityItem = "security";
constexpr const char* kStreamPrefix = "stream:";

Timestamp FromTicks(std::int64_t ticks) {
  return {ticks / 10000000, (ticks % 10000000) * 100};
}

std::uint64_t TicksOf(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Wine gives a file's last write time as its creation time, so there the
// system records no birth.
bool RecordsBirth() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return !wine;
}

Timestamp FromFileTime(const FILETIME& time) {
  return FromTicks(static_cast<std::int64_t>(TicksOf(time)));
}

FILETIME ToFileTime(Timestamp time) {
  const auto ticks = static_cast<std::uint64_t>(time.seconds * 10000000 + time.nanoseconds / 100);
  FILETIME out;
  out.dwLowDateTime = static_cast<DWORD>(ticks);
  out.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return out;
}

MaybeError Check(BOOL done) {
  if (done) return std::nullopt;
  return LastWin32Error();
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

std::string Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring Wide(const std::string& bytes) {
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  return text;
}

Result<std::string> ReadAll(HANDLE file) {
  std::string content;
  char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) return LastWin32Error();
    if (got == 0) return content;
    content.append(chunk, got);
  }
}

// The alternate data streams of a file, by name (":name:$DATA"). Where the
// system cannot list them (file systems without streams, Wine), there are
// none.
Result<std::vector<std::pair<std::wstring, std::string>>> StreamsOf(const std::wstring& path) {
  std::vector<std::pair<std::wstring, std::string>> streams;
  WIN32_FIND_STREAM_DATA found{};
  const HANDLE search = FindFirstStreamW(path.c_str(), FindStreamInfoStandard, &found, 0);
  if (search == INVALID_HANDLE_VALUE) return streams;
  do {
    const std::wstring name = found.cStreamName;
    if (name == L"::$DATA") continue;
    const HANDLE stream = CreateFileW((path + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (stream == INVALID_HANDLE_VALUE) {
      FindClose(search);
      return LastWin32Error();
    }
    Result<std::string> content = ReadAll(stream);
    CloseHandle(stream);
    if (!content.has_value()) {
      FindClose(search);
      return content.error();
    }
    streams.emplace_back(name, std::move(*content));
  } while (FindNextStreamW(search, &found));
  FindClose(search);
  return streams;
}

MaybeError WriteStream(const std::wstring& path, const std::wstring& name,
                       const std::string& content) {
  const HANDLE stream =
      CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (stream == INVALID_HANDLE_VALUE) return LastWin32Error();
  DWORD put = 0;
  const BOOL written =
      WriteFile(stream, content.data(), static_cast<DWORD>(content.size()), &put, nullptr);
  const MaybeError error = written && put == content.size() ? MaybeError() : LastWin32Error();
  CloseHandle(stream);
  return error;
}

class WinOpenFile final : public OpenFile {
 public:
  WinOpenFile(HANDLE handle, std::wstring folder, std::wstring name)
      : handle_(handle), folder_(std::move(folder)), name_(std::move(name)) {}
  WinOpenFile(const WinOpenFile&) = delete;
  WinOpenFile& operator=(const WinOpenFile&) = delete;
  ~WinOpenFile() override { AllowReplace(); }

  Result<FileInfo> Info() override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle_, &info)) return LastWin32Error();
    return InfoFromHandle(handle_, info);
  }

  // The handle was opened with GENERIC_READ, which includes READ_CONTROL.
  Result<Ownership> Owner() override { return OwnershipOf(handle_); }

  // The copy keeps its creator as owner: giving a file away takes privileges
  // a run does not have.
  void TakeOwnerOf(OpenFile&) override {}

  Result<std::size_t> ReadAt(char* buffer, std::size_t count, std::uint64_t offset) override {
    OVERLAPPED position = At(offset);
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(count, kMaxChunk));
    if (!ReadFile(handle_, buffer, chunk, &got, &position)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return std::size_t{0};
      return LastWin32Error();
    }
    return std::size_t{got};
  }

  MaybeError WriteAt(const char* data, std::size_t count, std::uint64_t offset) override {
    while (count > 0) {
      OVERLAPPED position = At(offset);
      DWORD put = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(count, kMaxChunk));
      if (!WriteFile(handle_, data, chunk, &put, &position)) return LastWin32Error();
      if (put == 0) return ErrorFromWin32(ERROR_WRITE_FAULT);
      data += put;
      offset += put;
      count -= put;
    }
    return std::nullopt;
  }

  // Lengthens the file to `length`: zeros that take their space now, and
  // that the new text then overwrites.
  MaybeError Reserve(std::uint64_t length) override { return Truncate(length); }

  MaybeError Truncate(std::uint64_t length) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return Check(SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end));
  }

  MaybeError Sync() override { return Check(FlushFileBuffers(handle_)); }

  Result<std::uint32_t> ReadMode() override {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic)) {
      return LastWin32Error();
    }
    return std::uint32_t{basic.FileAttributes & kCarriedAttributes};
  }

  Result<FileAttributes> ReadAttributes() override {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic)) {
      return LastWin32Error();
    }
    FileAttributes attributes;
    attributes.mode = basic.FileAttributes & kCarriedAttributes;
    PSECURITY_DESCRIPTOR security = nullptr;
    const DWORD error = GetSecurityInfo(handle_, SE_FILE_OBJECT, kWhoMayUse, nullptr, nullptr,
                                        nullptr, nullptr, &security);
    if (error != ERROR_SUCCESS) return ErrorFromWin32(error);
    attributes.named.emplace_back(
        kSecurityItem,
        std::string(static_cast<const char*>(security), GetSecurityDescriptorLength(security)));
    LocalFree(security);
    Result<std::vector<std::pair<std::wstring, std::string>>> streams = StreamsOf(FullPath());
    if (!streams.has_value()) return streams.error();
    for (auto& [name, content] : *streams) {
      attributes.named.emplace_back(kStreamPrefix + Bytes(name), std::move(content));
    }
    return attributes;
  }

  MaybeError WriteAttributes(const FileAttributes& attributes) override {
    for (const auto& [name, value] : attributes.named) {
      if (name == kSecurityItem) {
        if (MaybeError error = SetSecurity(value)) return error;
      } else if (name.starts_with(kStreamPrefix)) {
        const std::wstring stream = Wide(name.substr(std::string(kStreamPrefix).size()));
        if (MaybeError error = WriteStream(FullPath(), stream, value)) return error;
      }
    }
    FILE_BASIC_INFO basic{};  // zero times: left as they are
    basic.FileAttributes = attributes.mode != 0 ? attributes.mode : FILE_ATTRIBUTE_NORMAL;
    return Check(SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic));
  }

  MaybeError SetTimes(Timestamp accessed, Timestamp modified) override {
    const FILETIME access = ToFileTime(accessed);
    const FILETIME write = ToFileTime(modified);
    return Check(SetFileTime(handle_, nullptr, &access, &write));
  }

  MaybeError SetMode(std::uint32_t mode) override {
    FILE_BASIC_INFO basic{};  // zero times: left as they are
    basic.FileAttributes =
        (mode & kCarriedAttributes) != 0 ? mode & kCarriedAttributes : FILE_ATTRIBUTE_NORMAL;
    return Check(SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic));
  }

  bool CopiesOnWrite() override { return false; }

  Result<std::uint64_t> FreeSpace() override {
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExW(folder_.c_str(), &free, nullptr, nullptr)) return LastWin32Error();
    return std::uint64_t{free.QuadPart};
  }

  // Renames through the open handle, so no other program can take the new
  // file away between its checks and the rename.
  MaybeError RenameTo(const std::string& name) override {
    const std::optional<std::wstring> wide = WideFromUtf8(name);
    if (!wide) return FileError{FileProblem::kNotFound, ""};
    const std::wstring target = JoinedPath(folder_, *wide);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    if (!SetFileInformationByHandle(handle_, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size()))) {
      return LastWin32Error();
    }
    name_ = *wide;
    return std::nullopt;
  }

  // Windows does not replace a file that is open without shared deletion.
  void AllowReplace() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  // The file is open shared with nobody: other programs are held out already.
  bool HoldOthersBack() override { return true; }
  void LetOthersIn() override {}

 private:
  std::wstring FullPath() const { return JoinedPath(folder_, name_); }

  MaybeError SetSecurity(const std::string& bytes) {
    const auto security = const_cast<char*>(bytes.data());
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL list = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorOwner(security, &owner, &defaulted) ||
        !GetSecurityDescriptorGroup(security, &group, &defaulted) ||
        !GetSecurityDescriptorDacl(security, &present, &list, &defaulted) ||
        !GetSecurityDescriptorControl(security, &control, &revision)) {
      return LastWin32Error();
    }
    const SECURITY_INFORMATION inherited = (control & SE_DACL_PROTECTED) != 0
                                               ? PROTECTED_DACL_SECURITY_INFORMATION
                                               : UNPROTECTED_DACL_SECURITY_INFORMATION;
    const DWORD error = SetSecurityInfo(handle_, SE_FILE_OBJECT, kWhoMayUse | inherited, owner,
                                        group, present ? list : nullptr, nullptr);
    if (error != ERROR_SUCCESS) return ErrorFromWin32(error);
    return std::nullopt;
  }

  HANDLE handle_;
  std::wstring folder_;
  std::wstring name_;
};

Result<HANDLE> OpenHandle(const std::wstring& path, DWORD access, DWORD share, DWORD creation,
                          DWORD flags) {
  const HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, creation, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastWin32Error();
  return handle;
}

// Who owns what `path` names; `flags` tell whether a reparse point there is
// followed.
Result<Ownership> OwnershipAt(const std::wstring& path, DWORD flags) {
  Result<HANDLE> handle =
      OpenHandle(path, READ_CONTROL, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags);
  if (!handle.has_value()) return handle.error();
  Result<Ownership> ownership = OwnershipOf(*handle);
  CloseHandle(*handle);
  return ownership;
}

}  // namespace

FileInfo InfoFromHandle(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  FileInfo out;
  out.key = {info.dwVolumeSerialNumber,
             (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
             RecordsBirth() ? TicksOf(info.ftCreationTime) : 0};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    out.kind = FileKind::kDevice;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    out.kind = FileKind::kFolder;
  } else {
    out.kind = FileKind::kRegular;
  }
  out.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  out.accessed = FromFileTime(info.ftLastAccessTime);
  out.modified = FromFileTime(info.ftLastWriteTime);
  FILE_BASIC_INFO basic{};
  out.changed = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)
                    ? FromTicks(basic.ChangeTime.QuadPart)
                    : out.modified;
  out.linkCount = info.nNumberOfLinks;
  out.writeBitSet = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
  return out;
}

WinFolder::WinFolder(const std::wstring& path) : path_(SystemPath(path)) {}

Result<std::wstring> WinFolder::Full(const std::string& name) const {
  const std::optional<std::wstring> wide = WideFromUtf8(name);
  if (!wide) return FileError{FileProblem::kNotFound, ""};
  return JoinedPath(path_, *wide);
}

Result<std::unique_ptr<OpenFile>> WinFolder::Open(const std::string& name, Access access) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  const DWORD attributes = GetFileAttributesW(path->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileError{FileProblem::kNotRegularFile, "folder"};
  }
  const DWORD rights = access == Access::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  // Shared with nobody: no other program reads or writes it meanwhile.
  Result<HANDLE> handle = OpenHandle(*path, rights, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!handle.has_value()) return handle.error();
  return std::unique_ptr<OpenFile>(
      std::make_unique<WinOpenFile>(*handle, path_, path->substr(path_.size() + 1)));
}

Result<std::unique_ptr<OpenFile>> WinFolder::Create(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  constexpr DWORD kRights = GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC | WRITE_OWNER;
  Result<HANDLE> handle = OpenHandle(*path, kRights, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  if (!handle.has_value()) return handle.error();
  return std::unique_ptr<OpenFile>(
      std::make_unique<WinOpenFile>(*handle, path_, path->substr(path_.size() + 1)));
}

Result<FileInfo> WinFolder::InfoOf(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  Result<HANDLE> handle =
      OpenHandle(*path, 0, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!handle.has_value()) return handle.error();
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL known = GetFileInformationByHandle(*handle, &info);
  const FileError error = LastWin32Error();
  const FileInfo result = known ? InfoFromHandle(*handle, info) : FileInfo{};
  CloseHandle(*handle);
  if (!known) return error;
  return result;
}

Result<Ownership> WinFolder::OwnerOf(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  return OwnershipAt(*path, FILE_FLAG_OPEN_REPARSE_POINT);
}

// A drive's root folder is "C:\"; "C:" alone would name the volume.
Result<Ownership> WinFolder::Owner() {
  return OwnershipAt(path_.ends_with(L':') ? path_ + L"\\" : path_, 0);
}

MaybeError WinFolder::Remove(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  return Check(DeleteFileW(path->c_str()));
}

Result<std::unique_ptr<Folder>> WinFolder::MakeFolder(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  if (!CreateDirectoryW(path->c_str(), nullptr)) return LastWin32Error();
  return OpenFolder(name);
}

Result<std::unique_ptr<Folder>> WinFolder::OpenFolder(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  const DWORD attributes = GetFileAttributesW(path->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return FileError{FileProblem::kNotRegularFile, "link"};
  }
  // A file where a folder is wanted, as the system tells a path through one.
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FileError{FileProblem::kNotFound, ""};
  return std::unique_ptr<Folder>(std::make_unique<WinFolder>(std::move(*path)));
}

MaybeError WinFolder::RemoveFolder(const std::string& name) {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return path.error();
  return Check(RemoveDirectoryW(path->c_str()));
}

Result<std::vector<std::string>> WinFolder::Names() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW(JoinedPath(path_, L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    // A drive's empty root folder has not even "." and "..".
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;
    return LastWin32Error();
  }
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (std::optional<std::string> utf8 = Utf8FromWide(name)) names.push_back(std::move(*utf8));
  } while (FindNextFileW(search, &entry));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) return ErrorFromWin32(error);
  return names;
}

std::string WinFolder::Path() const {
  return Utf8FromWide(PlainPath(path_)).value_or("");
}

std::string WinFolder::PathOf(const std::string& name) const {
  Result<std::wstring> path = Full(name);
  if (!path.has_value()) return Path() + "\\" + name;
  return Utf8FromWide(PlainPath(*path)).value_or("");
}

}  // namespace quillmere::on_windows
