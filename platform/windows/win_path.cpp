#include "win_path.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace quillmere::on_windows {
namespace {

constexpr std::wstring_view kVerbatim = L"\\\\?\\";
constexpr std::wstring_view kVerbatimShare = L"\\\\?\\UNC\\";

// Whether the system takes the name for a device: its part before the first
// dot, trailing spaces aside, in any case.
bool IsDeviceName(std::wstring_view name) {
  std::wstring_view base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  std::wstring upper(base);
  for (wchar_t& c : upper) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  constexpr std::array<std::wstring_view, 6> kNames = {L"CON", L"PRN",    L"AUX",
                                                       L"NUL", L"CONIN$", L"CONOUT$"};
  for (std::wstring_view device : kNames) {
    if (upper == device) return true;
  }
  // COM and LPT with a digit, superscript digits too.
  return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
         std::wstring_view(L"0123456789\u00b9\u00b2\u00b3").find(upper[3]) !=
             std::wstring_view::npos;
}

// Whether every name in the path reaches the same item without the prefix.
bool PlainNames(std::wstring_view path) {
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find(L'\\', start), path.size());
    const std::wstring_view name = path.substr(start, end - start);
    if (!name.empty() && (name.back() == L'.' || name.back() == L' ' || IsDeviceName(name))) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

}  // namespace

std::wstring SystemPath(const std::wstring& path) {
  // CreateDirectoryW's own limit: a folder must leave room for an 8.3 name.
  constexpr DWORD kPlainLimit = MAX_PATH - 12;
  if (path.empty() || path.starts_with(kVerbatim) || path.starts_with(L"\\\\.\\")) return path;
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  // The length asked for counts the closing NUL.
  if (needed == 0 || needed <= kPlainLimit) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  if (full.starts_with(L"\\\\")) return std::wstring(kVerbatimShare) + full.substr(2);
  const bool onDrive = full.size() > 2 && full[1] == L':' && full[2] == L'\\';
  return onDrive ? std::wstring(kVerbatim) + full : path;
}

std::wstring JoinedPath(const std::wstring& folder, std::wstring_view name) {
  std::wstring joined = folder;
  if (!joined.ends_with(L'\\')) joined += L'\\';
  joined += name;
  return SystemPath(joined);
}

std::wstring PlainPath(const std::wstring& path) {
  std::wstring plain;
  if (path.starts_with(kVerbatimShare)) {
    plain = L"\\\\" + path.substr(kVerbatimShare.size());
  } else if (path.starts_with(kVerbatim) && path.size() > kVerbatim.size() + 2 &&
             path[kVerbatim.size() + 1] == L':' && path[kVerbatim.size() + 2] == L'\\') {
    plain = path.substr(kVerbatim.size());
  } else {
    return path;
  }
  return plain.size() < MAX_PATH && PlainNames(plain) ? plain : path;
}

}  // namespace quillmere::on_windows
