#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// A pattern for paths relative to a folder, with '/' between folders:
//   *       any run of characters but '/'
//   ?       any one character but '/'
//   [a-z]   one character of a set, [!a-z] one not in it (never '/')
//   **      as a whole part of the path: any number of folders, none
//           included ("**/x.htm", "docs/**/x.htm", "drafts/**")
// A pattern without '/' is matched against the file's name alone, at any
// depth; one with '/' against the whole relative path ("/x.htm" only at the
// top). Characters are bytes; with `foldCase`, ASCII letters match in any
// case. On Windows '\' separates folders too.
class GlobPattern {
 public:
  GlobPattern(std::string_view pattern, bool foldCase);

  bool Matches(std::string_view relativePath) const;

 private:
  struct Token {
    enum class Kind { kByte, kAny, kOne, kSet, kAnyPath, kAnyFolders };
    Kind kind;
    unsigned char byte = 0;
    std::bitset<256> set;
  };
  void Parse(std::string_view pattern);
  bool MatchesByte(const Token& token, unsigned char c) const;

  std::vector<Token> tokens_;
  bool nameOnly_ = true;
  bool foldCase_;
};

}  // namespace quillmere
