#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace quillmere::on_windows {

// How many bytes at the start of `text` end on a whole UTF-8 sequence: the
// rest is the start of a character still to come. Bytes that can never
// start or continue one count as whole (they are shown as U+FFFD).
std::size_t WholeUtf8Prefix(std::string_view text);

// A stream buffer that hands UTF-8 text to `write` as UTF-16, whole
// characters only: a character split between two writes waits for its end.
class Utf16Buffer : public std::streambuf {
 public:
  explicit Utf16Buffer(std::function<void(std::wstring_view)> write) : write_(std::move(write)) {}
  Utf16Buffer(const Utf16Buffer&) = delete;
  Utf16Buffer& operator=(const Utf16Buffer&) = delete;
  ~Utf16Buffer() override { sync(); }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  static constexpr std::size_t kFlushAt = 4096;
  std::function<void(std::wstring_view)> write_;
  std::string pending_;
};

}  // namespace quillmere::on_windows
