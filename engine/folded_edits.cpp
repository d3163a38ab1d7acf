#include "folded_edits.h"

#include <string>

#include "folded_search.h"
#include "utf8_text.h"

namespace quillmere {
namespace {

using detail::CharacterBytes;
using detail::FoldedMatch;
using detail::FoldedSearcher;

// The first match in `head` followed by `text` from `at` that starts in
// `head`, in the coordinates of head + text[at...]. Such a match ends within
// the pattern's length in characters past `head`.
std::optional<FoldedMatch> MatchFromHead(const FoldedSearcher& searcher, std::string_view head,
                                         std::string_view text, std::size_t at,
                                         std::size_t from = 0) {
  if (head.empty()) return std::nullopt;
  const std::string probe =
      std::string(head) + std::string(text.substr(at, CharacterBytes(text, at, searcher.length())));
  std::optional<FoldedMatch> match = searcher.Find(probe, from);
  if (!match || match->start >= head.size()) return std::nullopt;
  return match;
}

// The start of the character that ends at `end`: the lead byte of a valid
// sequence that ends there, or else the byte before `end`.
std::size_t CharacterStartBefore(std::string_view text, std::size_t end) {
  std::size_t start = end - 1;
  while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
    --start;
  }
  std::size_t after = start;
  if (DecodeUtf8(text, after) < kInvalidUtf8Base && after == end) return start;
  return end - 1;
}

// Moves the last `count` characters of `out` to the front of `pending`.
void TakeBackTail(std::string& out, std::size_t count, std::string& pending) {
  std::size_t keep = out.size();
  for (std::size_t i = 0; i < count && keep > 0; ++i) keep = CharacterStartBefore(out, keep);
  pending.insert(0, out, keep, std::string::npos);
  out.resize(keep);
}

void Finish(TextBuffer& buffer, std::string& out, std::string_view rest, bool modified) {
  if (!modified) return;
  out.append(rest);
  buffer.text = std::move(out);
  buffer.modified = true;
}

}  // namespace

void RemoveAllFolded(TextBuffer& buffer, std::string_view target) {
  const FoldedSearcher searcher(target);
  const std::string_view text = buffer.text;
  std::string out;
  std::size_t at = 0;
  bool modified = false;
  while (std::optional<FoldedMatch> match = searcher.Find(text, at)) {
    out.append(text.substr(at, match->start - at));
    at = match->end;
    modified = true;
  }
  Finish(buffer, out, text.substr(at), modified);
}

void ReplaceAllFolded(TextBuffer& buffer, std::string_view target, std::string_view replacement) {
  const FoldedSearcher searcher(target);
  const bool rescan = !searcher.Find(replacement, 0);
  const std::string_view text = buffer.text;
  std::string out;
  std::size_t at = 0;
  bool modified = false;
  // With `pending`, the replacement just inserted is searched again, with
  // the text after it.
  bool pending = false;
  for (;;) {
    if (pending) {
      if (std::optional<FoldedMatch> again = MatchFromHead(searcher, replacement, text, at)) {
        out.append(replacement.substr(0, again->start));
        at += again->end - replacement.size();
        continue;
      }
      out.append(replacement);
      pending = false;
    }
    const std::optional<FoldedMatch> match = searcher.Find(text, at);
    if (!match) break;
    out.append(text.substr(at, match->start - at));
    at = match->end;
    modified = true;
    if (rescan) {
      pending = true;
    } else {
      out.append(replacement);
    }
  }
  Finish(buffer, out, text.substr(at), modified);
}

void RemoveBlocksFolded(TextBuffer& buffer, std::string_view begin, std::string_view end) {
  const FoldedSearcher opening(begin);
  const FoldedSearcher closing(end);
  const std::string_view text = buffer.text;
  std::string out;
  // The text as it stands is out + pending + text[at...]; nothing in `out`
  // can start a block, so each search starts at `pending`.
  std::string pending;
  std::size_t at = 0;
  bool modified = false;
  for (;;) {
    std::size_t blockStart = 0;  // in pending + text[at...]
    std::optional<FoldedMatch> found = MatchFromHead(opening, pending, text, at);
    if (found) {
      blockStart = found->start;
    } else {
      const std::optional<FoldedMatch> later = opening.Find(text, at);
      if (!later) break;
      out.append(pending);
      pending.clear();
      out.append(text.substr(at, later->start - at));
      at = later->start;
    }
    // The end is searched from one byte after the block's start.
    std::size_t blockEnd = 0;  // in pending + text[at...]
    if (std::optional<FoldedMatch> close =
            MatchFromHead(closing, pending, text, at, blockStart + 1)) {
      blockEnd = close->end;
    } else {
      const std::size_t from = pending.empty() ? at + 1 : at;
      const std::optional<FoldedMatch> later = closing.Find(text, from);
      if (!later) break;
      blockEnd = pending.size() + (later->end - at);
    }
    modified = true;
    // Keep what precedes the block, then start again where a new begin
    // could first start: its length less one character before the block.
    std::string rest;
    if (blockEnd < pending.size()) rest = pending.substr(blockEnd);
    if (blockStart <= pending.size()) {
      out.append(pending, 0, blockStart);
    } else {
      out.append(pending);
      out.append(text.substr(at, blockStart - pending.size()));
    }
    at = blockEnd < pending.size() ? at : at + (blockEnd - pending.size());
    pending = std::move(rest);
    TakeBackTail(out, opening.length() - 1, pending);
  }
  out.append(pending);
  Finish(buffer, out, text.substr(at), modified);
}

bool HoldsAsciiFoldingCharacter(std::string_view text) {
  return text.find("\xE2\x84\xAA") != std::string_view::npos ||  // Kelvin sign
         text.find("\xC5\xBF") != std::string_view::npos;        // long s
}

bool NeedsUnicodeFolding(std::string_view rule, bool asciiFoldingCharacters) {
  if (!IsAscii(rule)) return true;
  if (!asciiFoldingCharacters) return false;
  return rule.find_first_of("kKsS") != std::string_view::npos;
}

}  // namespace quillmere
