#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "test_files.h"

namespace quillmere::test {

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
DWORD AttributesOf(const std::string& path);
BY_HANDLE_FILE_INFORMATION InfoOf(const std::string& path);

}  // namespace quillmere::test
