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

// A UTF-8 path as the system takes it; bytes that are no UTF-8 become U+FFFD,
// as a lenient conversion would make them.
std::wstring Wide(const std::string& path);
// The UTF-8 form of a name, or "" when it has none.
std::string Utf8(const std::wstring& wide);
DWORD AttributesOf(const std::string& path);
BY_HANDLE_FILE_INFORMATION InfoOf(const std::string& path);

}  // namespace quillmere::test
