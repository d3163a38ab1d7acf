#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace quillmere::test {

// A fresh folder under the system's temporary folder, removed with its
// content (read-only files included) when the object goes. Paths are bytes in
// the ANSI code page, as the file store takes them.
class WinTempFolder {
 public:
  WinTempFolder();
  WinTempFolder(const WinTempFolder&) = delete;
  WinTempFolder& operator=(const WinTempFolder&) = delete;
  ~WinTempFolder();

  const std::string& path() const { return path_; }
  // The full path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
  // The names in the folder, hidden ones included, sorted.
  std::vector<std::wstring> Names() const;

 private:
  std::string path_;
};

// An open handle on a file, closed when the object goes.
class FileHolder {
 public:
  FileHolder(const std::string& path, DWORD access, DWORD share);
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  ~FileHolder();

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::wstring Wide(const std::string& ansi);
// The text in the ANSI code page, or "" when a character has no exact match.
std::string Ansi(const std::wstring& wide);
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
DWORD AttributesOf(const std::string& path);
BY_HANDLE_FILE_INFORMATION InfoOf(const std::string& path);

}  // namespace quillmere::test
