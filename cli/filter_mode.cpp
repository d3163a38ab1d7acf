#include "filter_mode.h"

#include <array>
#include <istream>
#include <ostream>

#include "cleaning_pass.h"
#include "cli.h"

namespace quillmere {
namespace {

std::string ReadAll(std::istream& in) {
  std::string data;
  std::array<char, 1 << 16> chunk;
  while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
    data.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
  }
  return data;
}

}  // namespace

int RunFilterMode(const CleaningOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& err) {
  TextBuffer buffer{ReadAll(in), false};
  if (in.bad()) {
    err << "quillmere-cli: cannot read standard input\n";
    return kExitFailure;
  }
  if (buffer.text.find('\0') != std::string::npos) {
    err << "quillmere-cli: standard input holds a NUL byte; it is not 8-bit text\n";
    return kExitFailure;
  }
  CleanText(buffer, options);
  out.write(buffer.text.data(), static_cast<std::streamsize>(buffer.text.size()));
  out.flush();
  if (!out) {
    err << "quillmere-cli: cannot write standard output\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quillmere
