#include "ansi_edit.h"

#include "win_text.h"
#include "win_window_services.h"

namespace quillmere {
namespace {

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

std::wstring AnsiCharactersOf(const std::wstring& text) {
  std::wstring kept;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A character outside the basic plane takes two units; no ANSI code page
    // has one.
    if (IsHighSurrogate(text[i]) && i + 1 < text.size()) {
      ++i;
      continue;
    }
    if (AnsiFromWide(std::wstring_view(&text[i], 1))) kept += text[i];
  }
  return kept;
}

bool KeepAnsiText(HWND edit) {
  const std::wstring text = WindowText(edit);
  const std::wstring kept = AnsiCharactersOf(text);
  if (kept == text) return false;
  DWORD caret = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  const std::size_t removedBefore =
      caret - AnsiCharactersOf(text.substr(0, std::min<std::size_t>(caret, text.size()))).size();
  SetWindowTextW(edit, kept.c_str());
  const auto at = static_cast<LPARAM>(caret - removedBefore);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(at), at);
  MessageBeep(MB_ICONWARNING);
  return true;
}

}  // namespace quillmere
