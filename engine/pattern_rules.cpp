#include "pattern_rules.h"

#ifdef QUILLMERE_HAVE_RE2
#include <re2/re2.h>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>
#endif

namespace quillmere {

bool IsPatternRule(const TextRule& rule) {
  using K = TextRule::Kind;
  return rule.kind == K::kRemovePattern || rule.kind == K::kReplacePattern || rule.wholeWords;
}

#ifdef QUILLMERE_HAVE_RE2
namespace {

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A literal text at word edges, as a Latin-1 pattern: every byte stands for
// itself, an ASCII letter for both its cases unless `caseSensitive`. An edge
// that is a word character must meet a non-word one (\b); one that is not
// must meet a non-word one too, or the text's end (\B).
std::string WordPattern(const std::string& text, bool caseSensitive) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string pattern = IsWordByte(text.front()) ? "\\b" : "\\B";
  for (const char c : text) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter && !caseSensitive) {
      pattern += {'[', static_cast<char>(c | 0x20), static_cast<char>(c & ~0x20), ']'};
    } else if (IsWordByte(c)) {
      pattern += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      pattern += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return pattern + (IsWordByte(text.back()) ? "\\b" : "\\B");
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A literal text at word edges as an expression. An ASCII text, or one
// matched with its case, stands for its bytes, as above. A text beyond ASCII
// matched without regard to case folds by Unicode's simple case folding in
// UTF-8, as the literal rules do: the texts of every rule are UTF-8 then.
std::unique_ptr<RE2> WordExpression(const std::string& text, bool caseSensitive) {
  RE2::Options options;
  options.set_log_errors(false);
  if (caseSensitive || IsAscii(text)) {
    options.set_encoding(RE2::Options::EncodingLatin1);
    return std::make_unique<RE2>(WordPattern(text, caseSensitive), options);
  }
  options.set_case_sensitive(false);
  const auto edge = [](char c) { return IsWordByte(c) ? "\\b" : "\\B"; };
  return std::make_unique<RE2>(edge(text.front()) + RE2::QuoteMeta(text) + edge(text.back()),
                               options);
}

// A piece of a replacement: text as it stands, or a group of the match.
struct Piece {
  std::string text;
  int group = -1;
};

// A compiled rule: its expression and its replacement in pieces.
struct Compiled {
  std::unique_ptr<RE2> re;
  std::vector<Piece> pieces;
  std::string error;
};

std::optional<std::string> GroupPiece(const RE2& re, const std::string& name, int& group) {
  if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
    group = name.size() > 6 ? -1 : std::stoi(name);
    if (group >= 0 && group <= re.NumberOfCapturingGroups()) return std::nullopt;
    return "the replacement names group $" + name + ", but the pattern has " +
           std::to_string(re.NumberOfCapturingGroups());
  }
  const auto named = re.NamedCapturingGroups().find(name);
  if (named == re.NamedCapturingGroups().end()) {
    return "the replacement names the group ${" + name + "}, which the pattern lacks";
  }
  group = named->second;
  return std::nullopt;
}

// Splits a replacement at $1, ${1}, ${name} and $$.
std::optional<std::string> ParseReplacement(const std::string& text, const RE2& re,
                                            std::vector<Piece>& pieces) {
  pieces.push_back({});
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '$') {
      pieces.back().text += text[at];
      continue;
    }
    std::string name;
    if (at + 1 < text.size() && text[at + 1] == '$') {
      pieces.back().text += '$';
      ++at;
      continue;
    }
    if (at + 1 < text.size() && text[at + 1] == '{') {
      const std::size_t close = text.find('}', at + 2);
      if (close == std::string::npos) return std::string("a ${ in the replacement is not closed");
      name = text.substr(at + 2, close - at - 2);
      at = close;
    } else {
      while (at + 1 < text.size() && text[at + 1] >= '0' && text[at + 1] <= '9') name += text[++at];
      if (name.empty()) return std::string("a lone $ in the replacement: write $$ for a dollar");
    }
    int group = 0;
    if (auto error = GroupPiece(re, name, group)) return error;
    pieces.push_back({{}, group});
    pieces.push_back({});
  }
  return std::nullopt;
}

Compiled Compile(const TextRule& rule, bool caseSensitive) {
  Compiled compiled;
  RE2::Options options;
  options.set_log_errors(false);
  if (rule.wholeWords) {
    compiled.re = WordExpression(rule.first, caseSensitive);
    compiled.pieces.push_back({rule.kind == TextRule::Kind::kReplace ? rule.second : "", -1});
    return compiled;
  }
  options.set_case_sensitive(caseSensitive);
  compiled.re = std::make_unique<RE2>(rule.first, options);
  if (!compiled.re->ok()) {
    compiled.error =
        "the pattern " + rule.first + " is no regular expression: " + compiled.re->error();
  } else if (rule.kind == TextRule::Kind::kReplacePattern) {
    if (auto error = ParseReplacement(rule.second, *compiled.re, compiled.pieces)) {
      compiled.error = *error;
    }
  }
  return compiled;
}

// The rules compiled so far on this thread: a run compiles each once.
const Compiled& CompiledRule(const TextRule& rule, bool caseSensitive) {
  using Key = std::tuple<TextRule::Kind, bool, bool, std::string, std::string>;
  thread_local std::map<Key, Compiled> compiled;
  constexpr std::size_t kMostKept = 256;
  Key key{rule.kind, rule.wholeWords, caseSensitive, rule.first, rule.second};
  auto found = compiled.find(key);
  if (found != compiled.end()) return found->second;
  if (compiled.size() >= kMostKept) compiled.clear();
  return compiled.emplace(std::move(key), Compile(rule, caseSensitive)).first->second;
}

// The length of the character at `at`: a UTF-8 sequence counts whole.
std::size_t CharacterLength(const std::string& text, std::size_t at, bool utf8) {
  if (!utf8) return 1;
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  for (std::size_t k = 1; k < length; ++k) {
    if (at + k >= text.size() || (static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
      return 1;
    }
  }
  return length;
}

void AppendReplacement(std::string& out, const Compiled& compiled,
                       const std::vector<re2::StringPiece>& groups) {
  for (const Piece& piece : compiled.pieces) {
    if (piece.group < 0) {
      out += piece.text;
    } else {
      const re2::StringPiece& group = groups[static_cast<std::size_t>(piece.group)];
      out.append(group.data() == nullptr ? "" : group.data(), group.size());
    }
  }
}

}  // namespace

bool PatternRulesAvailable() {
  return true;
}

std::optional<std::string> PatternRuleError(const TextRule& rule, bool caseSensitive) {
  const Compiled& compiled = CompiledRule(rule, caseSensitive);
  if (compiled.error.empty()) return std::nullopt;
  return compiled.error;
}

bool ApplyPatternRule(std::string& text, const TextRule& rule, bool caseSensitive) {
  const Compiled& compiled = CompiledRule(rule, caseSensitive);
  if (!compiled.error.empty()) return false;
  const RE2& re = *compiled.re;
  const bool utf8 = re.options().encoding() == RE2::Options::EncodingUTF8;
  std::vector<re2::StringPiece> groups(static_cast<std::size_t>(re.NumberOfCapturingGroups()) + 1);
  const re2::StringPiece whole(text);
  std::string out;
  std::size_t at = 0;                       // copied up to here
  std::size_t lastEnd = std::string::npos;  // where the last match ended
  for (std::size_t from = 0; from <= text.size();) {
    if (!re.Match(whole, from, text.size(), RE2::UNANCHORED, groups.data(),
                  static_cast<int>(groups.size()))) {
      break;
    }
    const auto start = static_cast<std::size_t>(groups[0].data() - text.data());
    const std::size_t end = start + groups[0].size();
    // No empty match right where a match ended: a*'s matches in "baab" are
    // "" before the first b, "aa" and "" at the end, as sed finds them.
    if (start == end && start == lastEnd) {
      if (start == text.size()) break;
      from = start + CharacterLength(text, start, utf8);
      continue;
    }
    out.append(text, at, start - at);
    AppendReplacement(out, compiled, groups);
    at = end;
    lastEnd = end;
    from = end;
    if (start == end) {
      if (end == text.size()) break;
      from = end + CharacterLength(text, end, utf8);
    }
  }
  if (lastEnd == std::string::npos) return false;
  out.append(text, at, std::string::npos);
  if (out == text) return false;
  text.swap(out);
  return true;
}

#else

bool PatternRulesAvailable() {
  return false;
}

std::optional<std::string> PatternRuleError(const TextRule&, bool) {
  return std::string("regular expressions and word rules need RE2, which this build lacks");
}

bool ApplyPatternRule(std::string&, const TextRule&, bool) {
  return false;
}

#endif

}  // namespace quillmere
