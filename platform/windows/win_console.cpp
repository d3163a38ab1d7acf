#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "win_console.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "console.h"
#include "win_text.h"

namespace quillmere {
namespace on_windows {

std::size_t WholeUtf8Prefix(std::string_view text) {
  // A sequence is at most four bytes: look back at most three for its lead.
  const std::size_t size = text.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(text[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back && byte < 0xF8 ? size - back : size;
  }
  return size;
}

Utf16Buffer::int_type Utf16Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.size() >= kFlushAt) sync();
  return c;
}

std::streamsize Utf16Buffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= kFlushAt) sync();
  return count;
}

int Utf16Buffer::sync() {
  const std::size_t whole = WholeUtf8Prefix(pending_);
  if (whole > 0) {
    write_(ShownWide(std::string_view(pending_).substr(0, whole)));
    pending_.erase(0, whole);
  }
  return 0;
}

}  // namespace on_windows

namespace {

DWORD HandleIdOf(StandardStream stream) {
  return stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
}

// A console's mode, or nothing for a redirected stream.
std::optional<DWORD> ConsoleMode(StandardStream stream) {
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(HandleIdOf(stream)), &mode)) return std::nullopt;
  return mode;
}

// One stream sent to its console as UTF-16, with escapes where the console takes them.
class ConsoleStream {
 public:
  ConsoleStream(StandardStream stream, std::ostream& out, DWORD mode)
      : handle_(GetStdHandle(HandleIdOf(stream))),
        out_(out),
        mode_(mode),
        buffer_([this](std::wstring_view text) { Write(text); }) {
    SetConsoleMode(handle_, mode_ | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    out_.flush();
    previous_ = out_.rdbuf(&buffer_);
  }
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;
  ~ConsoleStream() {
    out_.flush();
    out_.rdbuf(previous_);
    SetConsoleMode(handle_, mode_);
  }

 private:
  void Write(std::wstring_view text) {
    while (!text.empty()) {
      DWORD written = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 16384));
      if (!WriteConsoleW(handle_, text.data(), chunk, &written, nullptr) || written == 0) return;
      text.remove_prefix(written);
    }
  }

  HANDLE handle_;
  std::ostream& out_;
  DWORD mode_;
  on_windows::Utf16Buffer buffer_;
  std::streambuf* previous_ = nullptr;
};

}  // namespace

struct ConsoleText::State {
  std::optional<ConsoleStream> output;
  std::optional<ConsoleStream> error;
};

bool ShowsEscapes(StandardStream stream) {
  const std::optional<DWORD> mode = ConsoleMode(stream);
  return mode && (*mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

ConsoleText::ConsoleText(bool output) : state_(std::make_unique<State>()) {
  if (const std::optional<DWORD> mode = ConsoleMode(StandardStream::kError)) {
    state_->error.emplace(StandardStream::kError, std::cerr, *mode);
  }
  if (!output) return;
  if (const std::optional<DWORD> mode = ConsoleMode(StandardStream::kOutput)) {
    state_->output.emplace(StandardStream::kOutput, std::cout, *mode);
  }
}

ConsoleText::~ConsoleText() = default;

}  // namespace quillmere
