#include "reference_engine.h"

#include <algorithm>
#include <vector>

#include "unicode_case.h"
#include "utf8_text.h"

namespace quillmere::reference {
namespace {

// Replacing blocks can grow without end when a replacement re-forms a block
// with the text before it. No input of the tests needs more iterations or
// growth than this, so a loop that gets there is given up.
constexpr long kMaxIterations = 20'000;
constexpr std::size_t kMaxGrowth = 4;
constexpr std::size_t kMinSizeLimit = 1 << 13;

struct LoopGuard {
  explicit LoopGuard(const std::string& text)
      : limit(std::max(kMinSizeLimit, kMaxGrowth * text.size())) {}
  void Count(const std::string& text) {
    if (++iterations > kMaxIterations || text.size() > limit) throw RunawayLoop();
  }
  long iterations = 0;
  std::size_t limit;
};

// Compares `count` bytes without regard to case; only ASCII letters fold.
bool EqualIgnoringCase(const char* a, const char* b, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    unsigned char x = static_cast<unsigned char>(a[k]);
    unsigned char y = static_cast<unsigned char>(b[k]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool ContainsInCaseMode(const std::string& text, const std::string& pattern, bool caseSensitive) {
  return FindText(pattern, text, 0, caseSensitive) != -1;
}

}  // namespace

long FindText(const std::string& pattern, const std::string& text, long start, bool caseSensitive) {
  if (caseSensitive) {
    if (start > static_cast<long>(text.size())) return -1;
    const std::size_t found = text.find(pattern, static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<long>(found);
  }
  const long last = static_cast<long>(text.size()) - static_cast<long>(pattern.size());
  for (long i = start; i <= last; ++i) {
    if (EqualIgnoringCase(text.data() + i, pattern.data(), pattern.size())) return i;
  }
  return -1;
}

void RemoveAllText(TextBuffer& buffer, const std::string& target) {
  long position = 0;
  for (;;) {
    const long match = FindText(target, buffer.text, position, false);
    if (match == -1) return;
    position = match;
    buffer.text.erase(static_cast<std::size_t>(position), target.size());
    buffer.modified = true;
  }
}

void ReplaceBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end,
                   const std::string& replacement) {
  LoopGuard guard(buffer.text);
  for (;;) {
    guard.Count(buffer.text);
    const long b = FindText(begin, buffer.text, 0, false);
    if (b == -1) return;
    const long e = FindText(end, buffer.text, b + 1, false);
    if (e == -1) return;
    buffer.text.erase(static_cast<std::size_t>(b),
                      static_cast<std::size_t>(e + static_cast<long>(end.size()) - b));
    buffer.text.insert(static_cast<std::size_t>(b), replacement);
    buffer.modified = true;
  }
}

void RemoveBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end) {
  ReplaceBlocks(buffer, begin, end, "");
}

void ReplaceAllText(TextBuffer& buffer, const std::string& target, const std::string& replacement,
                    bool caseSensitive) {
  // A replacement holding its own target would be found again forever; there
  // the search resumes after the inserted replacement.
  const bool resumeAfter = ContainsInCaseMode(replacement, target, caseSensitive);
  long position = 0;
  for (;;) {
    const long match = FindText(target, buffer.text, position, caseSensitive);
    if (match == -1) return;
    position = match;
    buffer.text.erase(static_cast<std::size_t>(position), target.size());
    buffer.text.insert(static_cast<std::size_t>(position), replacement);
    buffer.modified = true;
    if (resumeAfter) position += static_cast<long>(replacement.size());
  }
}

int ReplaceOnePass(TextBuffer& buffer, const std::string& target, const std::string& replacement) {
  int count = 0;
  std::size_t position = 0;
  for (;;) {
    const std::size_t match = buffer.text.find(target, position);
    if (match == std::string::npos) break;
    buffer.text.replace(match, target.size(), replacement);
    position = match + replacement.size();
    ++count;
  }
  if (count > 0) buffer.modified = true;
  return count;
}

void TrimWhiteSpace(TextBuffer& buffer) {
  const auto isSpace = [](char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); };
  while (!buffer.text.empty() && isSpace(buffer.text.front())) buffer.text.erase(0, 1);
  while (!buffer.text.empty() && isSpace(buffer.text.back())) buffer.text.pop_back();
}

namespace {

std::vector<char32_t> FoldedCharacters(const std::string& text) {
  std::vector<char32_t> folded;
  for (std::size_t at = 0; at < text.size();)
    folded.push_back(SimpleCaseFold(DecodeUtf8(text, at)));
  return folded;
}

}  // namespace

FoldedFind FindFolded(const std::string& pattern, const std::string& text, long start) {
  const std::vector<char32_t> wanted = FoldedCharacters(pattern);
  for (std::size_t at = static_cast<std::size_t>(start); at < text.size();) {
    std::size_t end = at;
    std::size_t k = 0;
    while (k < wanted.size() && end < text.size() &&
           SimpleCaseFold(DecodeUtf8(text, end)) == wanted[k]) {
      ++k;
    }
    if (k == wanted.size()) return {static_cast<long>(at), static_cast<long>(end - at)};
    DecodeUtf8(text, at);
  }
  return {};
}

void RemoveAllUserText(TextBuffer& buffer, const std::string& target) {
  long position = 0;
  for (;;) {
    const FoldedFind match = FindFolded(target, buffer.text, position);
    if (match.start == -1) return;
    position = match.start;
    buffer.text.erase(static_cast<std::size_t>(position), static_cast<std::size_t>(match.length));
    buffer.modified = true;
  }
}

void RemoveUserBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end) {
  LoopGuard guard(buffer.text);
  for (;;) {
    guard.Count(buffer.text);
    const FoldedFind b = FindFolded(begin, buffer.text, 0);
    if (b.start == -1) return;
    const FoldedFind e = FindFolded(end, buffer.text, b.start + 1);
    if (e.start == -1) return;
    buffer.text.erase(static_cast<std::size_t>(b.start),
                      static_cast<std::size_t>(e.start + e.length - b.start));
    buffer.modified = true;
  }
}

void ReplaceAllUserText(TextBuffer& buffer, const std::string& target,
                        const std::string& replacement, bool caseSensitive) {
  if (caseSensitive) return ReplaceAllText(buffer, target, replacement, true);
  const bool resumeAfter = FindFolded(target, replacement, 0).start != -1;
  long position = 0;
  for (;;) {
    const FoldedFind match = FindFolded(target, buffer.text, position);
    if (match.start == -1) return;
    position = match.start;
    buffer.text.replace(static_cast<std::size_t>(position), static_cast<std::size_t>(match.length),
                        replacement);
    buffer.modified = true;
    if (resumeAfter) position += static_cast<long>(replacement.size());
  }
}

}  // namespace quillmere::reference
