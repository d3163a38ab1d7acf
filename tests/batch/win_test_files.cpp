#include "win_test_files.h"

#include <algorithm>
#include <stdexcept>

#include "file_store.h"
#include "win_path.h"
#include "win_text.h"

namespace quillmere::test {
namespace {

// A path in the form that reaches it at any length.
std::wstring PathWide(const std::string& path) {
  return on_windows::SystemPath(ShownWide(path));
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(on_windows::JoinedPath(folder, L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = on_windows::JoinedPath(folder, name);
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

void Check(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what);
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
  const std::wstring base = std::wstring(temp, length) + L"quillmere-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetTickCount64());
  for (int attempt = 0; path_.empty(); ++attempt) {
    const std::wstring candidate = base + L"-" + std::to_wstring(attempt);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = Utf8(candidate);
    } else if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000) {
      throw std::runtime_error("cannot create a temporary folder");
    }
  }
}

TempFolder::~TempFolder() {
  RemoveTree(PathWide(path_));
}

std::string TempFolder::operator/(const std::string& name) const {
  return path_ + "\\" + name;
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((PathWide(path_) + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

FileHolder::FileHolder(const std::string& path, DWORD access, DWORD share)
    : handle_(CreateFileW(PathWide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

FileHolder::~FileHolder() {
  if (valid()) CloseHandle(handle_);
}

std::wstring Wide(const std::string& path) {
  return ShownWide(path);
}

std::string Utf8(const std::wstring& wide) {
  return Utf8FromWide(wide).value_or("");
}

void WriteFile(const std::string& path, const std::string& content) {
  const HANDLE file = CreateFileW(PathWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  DWORD written = 0;
  const bool ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                              nullptr) != 0 &&
                  written == content.size();
  CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  const HANDLE file =
      CreateFileW(PathWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  std::string content;
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) != 0) && got > 0) {
    content.append(chunk, got);
  }
  CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot read " + path);
  return content;
}

void MakeFolder(const std::string& path) {
  Check(CreateDirectoryW(PathWide(path).c_str(), nullptr) != 0, "cannot make " + path);
}

const char* const kReadOnlyDetail = "the Read-only attribute is set";

// Long paths reach as far as any folder chain a test would make.
bool MakeTooDeepFolder(const std::string&) {
  return false;
}

void RemoveFile(const std::string& path) {
  Check(DeleteFileW(PathWide(path).c_str()) != 0, "cannot remove " + path);
}

void MoveOver(const std::string& from, const std::string& to) {
  Check(MoveFileExW(PathWide(from).c_str(), PathWide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0,
        "cannot move " + from);
}

void MakeHardLink(const std::string& existing, const std::string& link) {
  Check(CreateHardLinkW(PathWide(link).c_str(), PathWide(existing).c_str(), nullptr) != 0,
        "cannot link " + link);
}

void MakeReadOnly(const std::string& path) {
  Check(SetFileAttributesW(PathWide(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0,
        "cannot make read-only " + path);
}

void RewriteKeepingTimes(const std::string& path, const std::string& content) {
  FILETIME written{};
  {
    const FileHolder file(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    Check(file.valid() && GetFileTime(file.get(), nullptr, nullptr, &written) != 0,
          "cannot read the times of " + path);
  }
  WriteFile(path, content);
  const FileHolder file(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
  Check(file.valid() && SetFileTime(file.get(), nullptr, nullptr, &written) != 0,
        "cannot set the times of " + path);
}

void MakeLargerThanTheLoadLimit(const std::string& path) {
  WriteFile(path, "");
  const FileHolder file(path, GENERIC_READ | GENERIC_WRITE, 0);
  Check(file.valid(), "cannot open " + path);
  DWORD unused = 0;  // sparse where the file system allows it, so no space is taken
  DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(kMaxLoadSize) + 1;
  Check(
      SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) != 0 && SetEndOfFile(file.get()) != 0,
      "cannot grow " + path);
}

OtherHolder::OtherHolder(const std::string& path)
    : handle_(
          reinterpret_cast<long long>(CreateFileW(PathWide(path).c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
  Check(reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE, "cannot hold " + path);
}

OtherHolder::~OtherHolder() {
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesW(PathWide(path).c_str());
}

BY_HANDLE_FILE_INFORMATION InfoOf(const std::string& path) {
  const FileHolder file(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) {
    throw std::runtime_error("cannot query " + path);
  }
  return info;
}

}  // namespace quillmere::test
