#pragma once

#include <memory>

namespace quillmere {

enum class StandardStream { kOutput, kError };

// Whether the stream is a terminal that shows the line and colour escapes
// (ESC[K, ESC[31m): a terminal on Linux; on Windows a console that
// ConsoleText has set to take them.
bool ShowsEscapes(StandardStream stream);

// While it lives, text written to std::cerr, and to std::cout with
// `output`, reads right on a console: on Windows a console takes it as
// UTF-16 (every name whole, whatever the console's code page) and is told to
// take the escapes where it can; a redirected stream gets the UTF-8 bytes as
// they are. Everything is put back as it was afterwards. On other systems
// terminals take UTF-8 already, and nothing changes.
class ConsoleText {
 public:
  explicit ConsoleText(bool output);
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;
  ~ConsoleText();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace quillmere
