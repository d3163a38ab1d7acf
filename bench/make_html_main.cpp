// quillmere_make_html MEGABYTES [SEED]: realistic HTML on standard output.
#include <cstdlib>
#include <iostream>

#include "html_page_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: quillmere_make_html MEGABYTES [SEED]\n";
    return 2;
  }
  const auto megabytes = std::strtoull(argv[1], nullptr, 10);
  const auto seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1ul;
  const std::string html =
      quillmere::bench::GenerateHtml(megabytes << 20, static_cast<std::uint32_t>(seed));
  std::cout.write(html.data(), static_cast<std::streamsize>(html.size()));
  return 0;
}
