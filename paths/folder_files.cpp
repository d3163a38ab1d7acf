#include "folder_files.h"

#include <algorithm>
#include <cctype>

namespace quillmere {
namespace {

bool EndsWithIgnoringCase(const std::string& name, const std::string& ending) {
  if (name.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), name.end() - static_cast<long>(ending.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

bool IsTextOrHtmlName(const std::string& name) {
  return EndsWithIgnoringCase(name, ".htm") || EndsWithIgnoringCase(name, ".html") ||
         EndsWithIgnoringCase(name, ".txt");
}

}  // namespace quillmere
