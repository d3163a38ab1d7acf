// Files on Windows, through the Win32 calls. Paths are bytes in the ANSI code
// page; bytes that are no text of it name no file. Every file is opened with
// no sharing, so no other program reads or writes it meanwhile; the rest
// follows the POSIX store: regular files only, no NUL byte, at most
// kMaxLoadSize, a save that puts the whole new content in place or leaves the
// file as it was, never creates a file and refuses a read-only one or one that
// changed since it was loaded.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "file_store.h"

namespace quillmere {
namespace {

// One call never moves more than this.
constexpr DWORD kMaxChunk = 1u << 30;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return handle != INVALID_HANDLE_VALUE && CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  DWORD sizeHigh = 0;
  DWORD sizeLow = 0;
  DWORD writeHigh = 0;
  DWORD writeLow = 0;

  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          info.nFileIndexHigh,
          info.nFileIndexLow,
          info.nFileSizeHigh,
          info.nFileSizeLow,
          info.ftLastWriteTime.dwHighDateTime,
          info.ftLastWriteTime.dwLowDateTime};
}

// The path in UTF-16, or nothing when its bytes do not name exactly one path:
// a NUL byte would end it early, and a byte sequence that is no character of
// the code page would be replaced by one that names another file.
std::optional<std::wstring> Widen(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  const int size = static_cast<int>(path.size());
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), length);
  return wide;
}

Handle OpenExclusive(const std::string& path, DWORD access) {
  const std::optional<std::wstring> wide = Widen(path);
  if (!wide) return Handle(INVALID_HANDLE_VALUE);
  return Handle(CreateFileW(wide->c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

// A plain file on a disk, not a folder, device or pipe.
bool IsRegularFile(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
}

bool ReadExactly(HANDLE file, char* buffer, std::uint64_t count) {
  while (count > 0) {
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::uint64_t>(count, kMaxChunk));
    if (!ReadFile(file, buffer, chunk, &got, nullptr) || got == 0) return false;
    buffer += got;
    count -= got;
  }
  return true;
}

bool AtEndOfFile(HANDLE file) {
  char next = 0;
  DWORD got = 0;
  return ReadFile(file, &next, 1, &got, nullptr) != 0 && got == 0;
}

bool SeekTo(HANDLE file, std::uint64_t offset) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

bool WriteAll(HANDLE file, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    DWORD put = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(left, kMaxChunk));
    if (!WriteFile(file, data, chunk, &put, nullptr) || put == 0) return false;
    data += put;
    left -= put;
  }
  return true;
}

// Sets the file's length, which also reserves the space of a longer one.
bool SetLength(HANDLE file, std::uint64_t length) {
  return SeekTo(file, length) && SetEndOfFile(file) != 0;
}

// The resolved path of an open file: symbolic links and junctions followed.
std::optional<std::wstring> FinalPathOf(HANDLE file) {
  const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
  if (needed == 0) return std::nullopt;
  std::wstring path(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= needed) return std::nullopt;
  path.resize(length);
  return path;
}

std::wstring TempNameBeside(const std::wstring& target) {
  static std::random_device device;
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = target.substr(0, slash + 1);
  const std::wstring base = target.substr(slash + 1, 200);
  return folder + L"." + base + L"." + std::to_wstring(device()) + std::to_wstring(device()) +
         L".tmp";
}

// The attributes the new file is created with, taken from the one it
// replaces: ReplaceFile keeps the target's security and streams, but not
// always these (Wine's does not).
DWORD AttributesToCarry(const BY_HANDLE_FILE_INFORMATION& info) {
  const DWORD carried = info.dwFileAttributes &
                        (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return carried != 0 ? carried : FILE_ATTRIBUTE_NORMAL;
}

enum class PutResult { kPlaced, kFailed, kTargetGone };

// Puts the temporary file in the target's place, which keeps the target's
// security. Without a backup name, ReplaceFile can fail after it removed the
// target (ERROR_UNABLE_TO_MOVE_REPLACEMENT); the temporary file is then moved
// into place instead.
PutResult PutInPlace(const std::wstring& tempName, const std::wstring& target) {
  if (ReplaceFileW(target.c_str(), tempName.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                   nullptr, nullptr) != 0) {
    return PutResult::kPlaced;
  }
  if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    const bool gone = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
                      GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!gone) return PutResult::kFailed;
    return MoveFileExW(tempName.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0
               ? PutResult::kPlaced
               : PutResult::kTargetGone;
  }
  // File systems without ReplaceFile: a plain replacing move.
  return MoveFileExW(tempName.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0
             ? PutResult::kPlaced
             : PutResult::kFailed;
}

enum class ReplaceResult { kDone, kFailed, kNoTempFile };

// Writes the text to a new file beside the target, flushes it and puts it in
// the target's place.
ReplaceResult ReplaceByRename(Handle& original, const std::wstring& target,
                              const BY_HANDLE_FILE_INFORMATION& info, const std::string& text) {
  std::wstring tempName;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    tempName = TempNameBeside(target);
    created = CreateFileW(tempName.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                          AttributesToCarry(info), nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  Handle temp(created);
  if (!temp.valid()) {
    return GetLastError() == ERROR_ACCESS_DENIED ? ReplaceResult::kNoTempFile
                                                 : ReplaceResult::kFailed;
  }
  const bool written = WriteAll(temp.get(), text) && FlushFileBuffers(temp.get()) != 0;
  const bool closed = temp.Close();
  original.Close();
  const PutResult put = written && closed ? PutInPlace(tempName, target) : PutResult::kFailed;
  if (put == PutResult::kPlaced) return ReplaceResult::kDone;
  // With the target gone, the temporary file holds the only content left.
  if (put != PutResult::kTargetGone) DeleteFileW(tempName.c_str());
  return ReplaceResult::kFailed;
}

// Overwrites a file that must stay the same file (it has other hard links, or
// its folder takes no new file): space first, then the text, and the old
// content back if a write fails.
bool OverwriteInPlace(HANDLE file, std::uint64_t oldSize, const std::string& text) {
  std::string previous;
  try {
    previous.resize(static_cast<std::size_t>(oldSize));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!SeekTo(file, 0) || !ReadExactly(file, previous.data(), oldSize)) return false;
  if (text.size() > oldSize && !SetLength(file, text.size())) {
    SetLength(file, oldSize);
    return false;
  }
  if (SeekTo(file, 0) && WriteAll(file, text) && SetLength(file, text.size()) &&
      FlushFileBuffers(file) != 0) {
    return true;
  }
  if (SeekTo(file, 0) && WriteAll(file, previous)) {
    SetLength(file, oldSize);
    FlushFileBuffers(file);
  }
  return false;
}

class WinFileStore final : public FileStore {
 public:
  LoadedFile Load(const std::string& path) override {
    loadedIdentity_.reset();
    Handle file = OpenExclusive(path, GENERIC_READ);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !IsRegularFile(file.get(), info)) return {};
    const std::uint64_t size = SizeOf(info);
    if (size > kMaxLoadSize) return {};
    LoadedFile loaded;
    try {
      loaded.text.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
      return {};
    }
    if (!ReadExactly(file.get(), loaded.text.data(), size) || !AtEndOfFile(file.get())) return {};
    if (loaded.text.find('\0') != std::string::npos) return {};
    loaded.status = LoadStatus::kOk;
    loadedPath_ = path;
    loadedIdentity_ = IdentityOf(info);
    return loaded;
  }

  bool Save(const std::string& path, const std::string& text) override {
    std::optional<FileIdentity> loaded;
    if (loadedIdentity_ && loadedPath_ == path) loaded = loadedIdentity_;
    loadedIdentity_.reset();

    // Opening for writing fails on a read-only file; OPEN_EXISTING never
    // creates one.
    Handle original = OpenExclusive(path, GENERIC_READ | GENERIC_WRITE);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!original.valid() || !IsRegularFile(original.get(), info)) return false;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    if (loaded && *loaded != IdentityOf(info)) return false;
    const std::optional<std::wstring> target = FinalPathOf(original.get());
    if (!target) return false;

    if (info.nNumberOfLinks == 1) {
      switch (ReplaceByRename(original, *target, info, text)) {
        case ReplaceResult::kDone:
          return true;
        case ReplaceResult::kFailed:
          return false;
        case ReplaceResult::kNoTempFile:
          break;
      }
    }
    if (!original.valid()) return false;
    return OverwriteInPlace(original.get(), SizeOf(info), text);
  }

 private:
  std::string loadedPath_;
  std::optional<FileIdentity> loadedIdentity_;
};

}  // namespace

std::unique_ptr<FileStore> MakeSystemFileStore() {
  return std::make_unique<WinFileStore>();
}

}  // namespace quillmere
