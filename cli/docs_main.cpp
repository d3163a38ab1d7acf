// quillmere-cli-docs: writes the manual page or a shell completion of
// quillmere-cli to standard output, for the build.
#include <iostream>
#include <string_view>

#include "cli_docs.h"

int main(int argc, char** argv) {
  const std::string_view kind = argc == 2 ? argv[1] : "";
  if (kind == "man") {
    std::cout << quillmere::ManPage(QUILLMERE_VERSION);
  } else if (kind == "bash") {
    std::cout << quillmere::BashCompletion();
  } else if (kind == "zsh") {
    std::cout << quillmere::ZshCompletion();
  } else if (kind == "fish") {
    std::cout << quillmere::FishCompletion();
  } else {
    std::cerr << "usage: quillmere-cli-docs man|bash|zsh|fish\n";
    return 2;
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}
