#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "cli_options.h"
#include "console.h"
#include "win_text.h"

namespace {

// Whether the command writes text of its own to standard output, rather than
// the files' bytes (a filter, a stream, a diff), which go out untouched.
bool WritesOwnText(const quillmere::CliCommand& command) {
  return (command.InPlace() && !command.diff) || command.undoRun || command.listRuns ||
         command.forgetRun || command.forgetAll || command.showHelp || command.showVersion;
}

}  // namespace

// The arguments come as UTF-16, so every file name reaches the store whole,
// as UTF-8; the cleaning texts stay UTF-8 and reach each file in its own
// encoding.
int wmain(int argc, wchar_t** argv) {
  // Text is bytes: no CR/LF translation on the standard streams.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::optional<std::string> arg = quillmere::Utf8FromWide(argv[i]);
    if (!arg) {
      std::cerr << "quillmere-cli: argument " << i << " is no valid Unicode text\n";
      return quillmere::kExitUsage;
    }
    args.push_back(std::move(*arg));
  }
  const auto parsed = quillmere::ParseCommandLine(args);
  const auto* command = std::get_if<quillmere::CliCommand>(&parsed);
  const quillmere::ConsoleText console(command != nullptr && WritesOwnText(*command));
  return quillmere::RunCli(args, std::cin, std::cout, std::cerr);
}

#else

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillmere::RunCli(args, std::cin, std::cout, std::cerr);
}

#endif
