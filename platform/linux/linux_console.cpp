#include <unistd.h>

#include "console.h"

namespace quillmere {

struct ConsoleText::State {};

bool ShowsEscapes(StandardStream stream) {
  return ::isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

ConsoleText::ConsoleText(bool) {}
ConsoleText::~ConsoleText() = default;

}  // namespace quillmere
