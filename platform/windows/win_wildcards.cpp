#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "wildcards.h"
#include "win_errors.h"
#include "win_path.h"
#include "win_text.h"

namespace quillmere {
namespace {

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool SameLetter(wchar_t a, wchar_t b) {
  return CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
}

// Whether the whole name matches the pattern, letter case aside. The system's
// search also matches short 8.3 names ("*.htm" finds "page.html" through
// "PAGE~1.HTM"); this keeps to the names people see.
bool NameMatches(std::wstring_view name, std::wstring_view pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t starAt = std::wstring_view::npos;
  std::size_t nameAtStar = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starAt = p++;
      nameAtStar = n;
    } else if (p < pattern.size() && (pattern[p] == L'?' || SameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::wstring_view::npos) {
      p = starAt + 1;
      n = ++nameAtStar;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

}  // namespace

Result<std::vector<std::string>> FilesNamedBy(const std::string& argument) {
  const std::optional<std::wstring> wide = WideFromUtf8(argument);
  if (!HasWildcard(argument) || !wide) return std::vector<std::string>{argument};
  const std::wstring system = on_windows::SystemPath(*wide);
  if (GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return std::vector<std::string>{argument};
  }
  // The folder as typed, so that the files are named as the user named them.
  std::size_t cut = argument.find_last_of("\\/");
  if (cut == std::string::npos && argument.size() >= 2 && argument[1] == ':') cut = 1;
  const std::string folder = cut == std::string::npos ? "" : argument.substr(0, cut + 1);
  if (HasWildcard(folder)) {
    return FileError{FileProblem::kNotFound, "a pattern is taken in the file's own name only"};
  }
  const std::wstring pattern = WideFromUtf8(argument.substr(folder.size())).value_or(L"");
  WIN32_FIND_DATAW entry{};
  const HANDLE search =
      FindFirstFileExW(system.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
  std::vector<std::string> files;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      if (!NameMatches(entry.cFileName, pattern)) continue;
      if (std::optional<std::string> name = Utf8FromWide(entry.cFileName)) {
        files.push_back(folder + *name);
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  } else if (const DWORD error = GetLastError();
             error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
    return on_windows::ErrorFromWin32(error);
  }
  if (files.empty()) return FileError{FileProblem::kNotFound, "no file matches the pattern"};
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace quillmere
