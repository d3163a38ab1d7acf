#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// Text at the edge of the Windows API. Paths travel through the program in
// UTF-8 and reach the system in UTF-16, so every name the file system holds
// can be reached; the cleaning texts and file contents stay bytes of the
// ANSI code page.

// UTF-16 of UTF-8 text, or nothing when the bytes are no valid UTF-8 or hold
// a NUL (which would end a path early and name another file).
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// UTF-8 of UTF-16 text, or nothing when it holds a lone surrogate.
std::optional<std::string> Utf8FromWide(std::wstring_view text);
// UTF-8 for showing: a lone surrogate becomes U+FFFD.
std::string ShownUtf8(std::wstring_view text);
// UTF-16 for showing: invalid UTF-8 becomes U+FFFD.
std::wstring ShownWide(std::string_view text);

// The ANSI code page's bytes of the text, or nothing when a character has
// none there (no best-fit stand-in is taken).
std::optional<std::string> AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);

}  // namespace quillmere
