#include "win_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {
namespace {

std::optional<std::wstring> ToWide(UINT codePage, DWORD flags, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> FromWide(UINT codePage, DWORD flags, std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  // Only the ANSI code page reports a character it lacks; UTF-8 reports
  // invalid input by failing.
  BOOL* lost = codePage == CP_UTF8 ? nullptr : &lossy;
  const int length =
      WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, lost);
  if (length <= 0 || lossy) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, text);
}

std::optional<std::string> Utf8FromWide(std::wstring_view text) {
  return FromWide(CP_UTF8, WC_ERR_INVALID_CHARS, text);
}

std::string ShownUtf8(std::wstring_view text) {
  return FromWide(CP_UTF8, 0, text).value_or("");
}

std::wstring ShownWide(std::string_view text) {
  return ToWide(CP_UTF8, 0, text).value_or(L"");
}

std::optional<std::string> AnsiFromWide(std::wstring_view text) {
  return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}

std::wstring WideFromAnsi(std::string_view text) {
  return ToWide(CP_ACP, 0, text).value_or(L"");
}

}  // namespace quillmere
