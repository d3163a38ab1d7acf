#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Text is bytes: no CR/LF translation on the standard streams.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillmere::RunCli(args, std::cin, std::cout, std::cerr);
}
