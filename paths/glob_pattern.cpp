#include "glob_pattern.h"

#include <algorithm>

namespace quillmere {
namespace {

unsigned char Folded(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

std::string Normalized(std::string_view pattern) {
  std::string text(pattern);
#ifdef _WIN32
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  if (text.starts_with("./")) text.erase(0, 2);
  while (text.size() > 1 && text.back() == '/') text.pop_back();  // "drafts/" is "drafts"
  return text;
}

// Whether the "**" at `at` stands as a whole part of the path.
bool WholePart(const std::string& text, std::size_t at) {
  const bool startsPart = at == 0 || text[at - 1] == '/';
  const bool endsPart = at + 2 == text.size() || text[at + 2] == '/';
  return startsPart && endsPart;
}

}  // namespace

GlobPattern::GlobPattern(std::string_view pattern, bool foldCase) : foldCase_(foldCase) {
  std::string text = Normalized(pattern);
  nameOnly_ = text.find('/') == std::string::npos;
  if (!nameOnly_ && text.front() == '/') text.erase(0, 1);
  Parse(text);
}

void GlobPattern::Parse(std::string_view text) {
  const std::string whole(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    Token token{Token::Kind::kByte, foldCase_ ? Folded(c) : c, {}};
    if (c == '*' && text.substr(i, 2) == "**" && WholePart(whole, i)) {
      const bool folders = i + 2 < text.size();
      token.kind = folders ? Token::Kind::kAnyFolders : Token::Kind::kAnyPath;
      i += folders ? 2 : 1;  // "**/" or a final "**"
    } else if (c == '*') {
      token.kind = Token::Kind::kAny;
      while (i + 1 < text.size() && text[i + 1] == '*') ++i;
    } else if (c == '?') {
      token.kind = Token::Kind::kOne;
    } else if (c == '[') {
      // A set runs to the first ']' after its first member; without one,
      // '[' is itself.
      std::size_t at = i + 1;
      const bool negated = at < text.size() && (text[at] == '!' || text[at] == '^');
      if (negated) ++at;
      const std::size_t close = text.find(']', at + 1);
      if (at < text.size() && close != std::string_view::npos) {
        token.kind = Token::Kind::kSet;
        for (std::size_t k = at; k < close; ++k) {
          const auto low = static_cast<unsigned char>(text[k]);
          auto high = low;
          if (k + 2 < close && text[k + 1] == '-') {
            high = static_cast<unsigned char>(text[k + 2]);
            k += 2;
          }
          for (unsigned v = low; v <= high; ++v) token.set.set(foldCase_ ? Folded(v & 0xFF) : v);
        }
        if (negated) token.set.flip();
        token.set.reset('/');
        i = close;
      }
    }
    tokens_.push_back(token);
  }
}

bool GlobPattern::MatchesByte(const Token& token, unsigned char c) const {
  const unsigned char byte = foldCase_ ? Folded(c) : c;
  switch (token.kind) {
    case Token::Kind::kByte:
      return byte == token.byte;
    case Token::Kind::kOne:
      return c != '/';
    case Token::Kind::kSet:
      return token.set.test(byte);
    default:
      return false;
  }
}

bool GlobPattern::Matches(std::string_view relativePath) const {
  std::string_view text = relativePath;
  if (nameOnly_) {
    const std::size_t slash = text.rfind('/');
    if (slash != std::string_view::npos) text.remove_prefix(slash + 1);
  }
  // reach[j]: the tokens so far can match the first j bytes.
  const std::size_t n = text.size();
  std::vector<char> reach(n + 1, 0);
  std::vector<char> next(n + 1, 0);
  reach[0] = 1;
  for (const Token& token : tokens_) {
    std::fill(next.begin(), next.end(), 0);
    bool before = false;  // some reach[k] with k < j
    for (std::size_t j = 0; j <= n; ++j) {
      const bool slashBefore = j > 0 && text[j - 1] == '/';
      switch (token.kind) {
        case Token::Kind::kAny:
          next[j] = reach[j] || (j > 0 && next[j - 1] && !slashBefore);
          break;
        case Token::Kind::kAnyPath:
          next[j] = reach[j] || (j > 0 && next[j - 1]);
          break;
        case Token::Kind::kAnyFolders:
          next[j] = reach[j] || (slashBefore && before);
          break;
        default:
          next[j] =
              j > 0 && reach[j - 1] && MatchesByte(token, static_cast<unsigned char>(text[j - 1]));
          break;
      }
      before = before || reach[j];
    }
    reach.swap(next);
  }
  return reach[n] != 0;
}

}  // namespace quillmere
