#include "spliced_text.h"

#include <algorithm>

namespace quillmere::detail {

SplicedText::SplicedText(std::string_view original, std::size_t expectedSize)
    : rest_(original), expectedSize_(std::max(expectedSize, original.size())) {}

std::size_t SplicedText::Find(const Searcher& searcher, std::size_t from) {
  const std::size_t settled = out_.size();
  // A match may begin in the output and run on into the rest; the loops only
  // look back a few bytes, so test those offsets one by one.
  for (; from < settled; ++from) {
    const std::string_view head = std::string_view(out_).substr(from);
    if (searcher.MatchesJoined(head, rest_)) return from;
  }
  const std::size_t found = searcher.Find(rest_, from - settled);
  return found == kNotFound ? kNotFound : settled + found;
}

void SplicedText::SettleUpTo(std::size_t pos) {
  // Reserve on the first edit only: a loop that finds nothing allocates nothing.
  if (out_.empty() && out_.capacity() < expectedSize_) out_.reserve(expectedSize_);
  const std::size_t settled = out_.size();
  if (pos <= settled) return;
  out_.append(rest_.substr(0, pos - settled));
  rest_.remove_prefix(pos - settled);
}

void SplicedText::Erase(std::size_t begin, std::size_t end) {
  SettleUpTo(begin);
  const std::size_t settled = out_.size();
  if (end <= settled) {
    out_.erase(begin, end - begin);
  } else {
    out_.resize(begin);
    rest_.remove_prefix(end - settled);
  }
}

void SplicedText::Insert(std::size_t pos, std::string_view text) {
  SettleUpTo(pos);
  if (pos == out_.size()) {
    out_.append(text);
  } else {
    out_.insert(pos, text);
  }
}

std::string SplicedText::Finish() && {
  out_.append(rest_);
  rest_ = {};
  return std::move(out_);
}

}  // namespace quillmere::detail
