#include "text_primitives.h"

#include "spliced_text.h"
#include "text_search.h"

namespace quillmere {
namespace {

using detail::kNotFound;
using detail::Searcher;
using detail::SplicedText;

// The size of `text` once its non-overlapping matches are replaced. Counting
// costs one more scan only when the text grows, and spares a reallocation
// that would hold three copies of the text at once.
std::size_t SizeAfterReplacing(std::string_view text, const Searcher& searcher,
                               std::string_view replacement, std::size_t firstMatch) {
  if (replacement.size() <= searcher.size()) return text.size();
  std::size_t count = 0;
  for (std::size_t match = firstMatch; match != kNotFound;
       match = searcher.Find(text, match + searcher.size())) {
    ++count;
  }
  return text.size() + count * (replacement.size() - searcher.size());
}

// Replaces non-overlapping matches in one left-to-right scan of the original
// text; inserted text is never searched. Returns the number of replacements.
std::size_t ReplaceEachOnce(TextBuffer& buffer, const Searcher& searcher,
                            std::string_view replacement) {
  const std::string_view text = buffer.text;
  std::size_t match = searcher.Find(text, 0);
  if (match == kNotFound) return 0;

  std::string out;
  out.reserve(SizeAfterReplacing(text, searcher, replacement, match));
  std::size_t copied = 0;
  std::size_t count = 0;
  do {
    out.append(text.substr(copied, match - copied));
    out.append(replacement);
    copied = match + searcher.size();
    ++count;
    match = searcher.Find(text, copied);
  } while (match != kNotFound);
  out.append(text.substr(copied));

  buffer.text = std::move(out);
  buffer.modified = true;
  return count;
}

// The first begin..end block at or after `from`: the begin offset and the
// offset just past its end text, or nothing.
struct Block {
  std::size_t begin = kNotFound;
  std::size_t end = kNotFound;
  bool found() const { return end != kNotFound; }
};

Block FindBlock(SplicedText& text, const Searcher& begin, const Searcher& end, std::size_t from) {
  Block block;
  block.begin = text.Find(begin, from);
  if (block.begin == kNotFound) return block;
  const std::size_t endMatch = text.Find(end, block.begin + 1);
  if (endMatch != kNotFound) block.end = endMatch + end.size();
  return block;
}

// Deletes (and optionally replaces) blocks until no complete block is left.
// After an edit at b every search could restart at 0, but no begin text can
// start before b - |begin| + 1: the text before b held none, and only a match
// reaching across the edit is new.
void EditBlocks(TextBuffer& buffer, std::string_view beginText, std::string_view endText,
                const std::string_view* replacement) {
  if (beginText.empty() || endText.empty()) return;
  const Searcher begin(beginText, false);
  const Searcher end(endText, false);
  SplicedText text(buffer.text);
  Block block = FindBlock(text, begin, end, 0);
  if (!block.found()) return;
  do {
    text.Erase(block.begin, block.end);
    if (replacement != nullptr) text.Insert(block.begin, *replacement);
    const std::size_t lookBack = begin.size() - 1;
    const std::size_t resume = block.begin > lookBack ? block.begin - lookBack : 0;
    block = FindBlock(text, begin, end, resume);
  } while (block.found());
  buffer.text = std::move(text).Finish();
  buffer.modified = true;
}

}  // namespace

std::ptrdiff_t FindText(std::string_view pattern, std::string_view text, std::size_t start,
                        bool caseSensitive) {
  const std::size_t found = Searcher(pattern, caseSensitive).Find(text, start);
  return found == kNotFound ? -1 : static_cast<std::ptrdiff_t>(found);
}

void RemoveAllText(TextBuffer& buffer, std::string_view target) {
  // The search resumes right after each deleted occurrence, where the rest of
  // the original text begins, so one scan of the original finds every match.
  if (target.empty()) return;
  ReplaceEachOnce(buffer, Searcher(target, false), {});
}

void RemoveBlocks(TextBuffer& buffer, std::string_view begin, std::string_view end) {
  EditBlocks(buffer, begin, end, nullptr);
}

void ReplaceBlocks(TextBuffer& buffer, std::string_view begin, std::string_view end,
                   std::string_view replacement) {
  EditBlocks(buffer, begin, end, &replacement);
}

void ReplaceAllText(TextBuffer& buffer, std::string_view target, std::string_view replacement,
                    bool caseSensitive) {
  if (target.empty()) return;
  const Searcher searcher(target, caseSensitive);
  if (searcher.OccursIn(replacement)) {
    // Searching again from the inserted replacement would find it forever:
    // resume after it instead.
    ReplaceEachOnce(buffer, searcher, replacement);
    return;
  }
  std::size_t match = searcher.Find(buffer.text, 0);
  if (match == kNotFound) return;
  SplicedText text(buffer.text, SizeAfterReplacing(buffer.text, searcher, replacement, match));
  do {
    text.Erase(match, match + searcher.size());
    text.Insert(match, replacement);
    match = text.Find(searcher, match);
  } while (match != kNotFound);
  buffer.text = std::move(text).Finish();
  buffer.modified = true;
}

std::size_t ReplaceOnePass(TextBuffer& buffer, std::string_view target,
                           std::string_view replacement) {
  if (target.empty()) return 0;
  return ReplaceEachOnce(buffer, Searcher(target, true), replacement);
}

void TrimWhiteSpace(TextBuffer& buffer) {
  TrimWhiteSpace(buffer.text);
}

void TrimWhiteSpace(std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsWhiteSpace(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && IsWhiteSpace(text[last - 1])) --last;
  if (first == 0 && last == text.size()) return;
  text.erase(last);
  text.erase(0, first);
}

}  // namespace quillmere
