#include "chain_filter.h"

#include <algorithm>
#include <bit>

#include "filter_scan.h"
#include "text_search.h"
#include "vector_lanes.h"

namespace quillmere::detail {
namespace {

constexpr std::size_t kMaxVectorFirstBytes = 6;

unsigned char Fold(char c) {
  return FoldByte(static_cast<unsigned char>(c));
}

bool IsLowerLetter(unsigned char c) {
  return c >= 'a' && c <= 'z';
}

}  // namespace

ChainFilter::ChainFilter(std::span<const Pattern> patterns) : nodes_(1) {
  std::bitset<256> before;  // first bytes of the stages so far
  for (std::size_t stage = 0; stage < patterns.size(); ++stage) {
    const Pattern& pattern = patterns[stage];
    const unsigned char first = Fold(pattern.text.front());
    std::bitset<256> mine = before;
    if (pattern.looksBack) mine.set(first);
    upstream_[first] |= mine;
    before.set(first);
    Insert(pattern, static_cast<int>(stage));
  }
  BuildFirstBytes();
  BuildVerdicts();
  nodes_.clear();
}

void ChainFilter::Insert(const Pattern& pattern, int stage) {
  std::size_t node = 0;
  for (std::size_t depth = 0; depth < pattern.text.size(); ++depth) {
    if (depth == kMaxDepth) {
      nodes_[node].stop = true;
      nodes_[node].direct = kNoStage;
      return;
    }
    const unsigned char c = Fold(pattern.text[depth]);
    if (nodes_[node].child[c] == 0) {
      nodes_[node].child[c] = static_cast<std::uint16_t>(nodes_.size());
      nodes_.emplace_back();
    }
    node = nodes_[node].child[c];
  }
  // Only at a node where a single pattern ends, and no other goes on, does a
  // match concern one stage alone.
  nodes_[node].direct = nodes_[node].stop ? kNoStage : stage;
  nodes_[node].stop = true;
}

namespace {

VectorByte MakeVectorByte(unsigned char folded) {
  VectorByte b{};
  b.value.fill(folded);
  b.letter = IsLowerLetter(folded);
  b.orMask.fill(b.letter ? 0x20 : 0);
  return b;
}

}  // namespace

void ChainFilter::BuildFirstBytes() {
  for (unsigned c = 0; c < 256; ++c) {
    const std::uint16_t node = nodes_[0].child[c];
    if (node == 0) continue;
    // A position is of interest only if the next byte goes on along a pattern
    // or could be where an earlier stage edits.
    std::vector<unsigned char> seconds;
    for (unsigned d = 0; d < 256; ++d) {
      if (nodes_[node].stop || nodes_[node].child[d] != 0 || upstream_[c][d]) {
        seconds.push_back(static_cast<unsigned char>(d));
      }
    }
    FilterTerm term{MakeVectorByte(static_cast<unsigned char>(c)), {}, 0};
    if (seconds.size() <= term.seconds.size()) {
      for (const unsigned char d : seconds) term.seconds[term.secondCount++] = MakeVectorByte(d);
    }
    terms_.push_back(term);
  }
}

void ChainFilter::BuildVerdicts() {
  // Rows kSkip and kStop lead to themselves, so a walk may look at a fixed
  // number of bytes before it tests where it is.
  verdicts_.assign(nodes_.size() + kFirstNode - 1, {});
  cleared_.assign(verdicts_.size(), {});
  ends_.assign(verdicts_.size(), {false, kNoStage});
  verdicts_[kSkip].fill(kSkip);
  verdicts_[kStop].fill(kStop);
  for (std::size_t node = 1; node < nodes_.size(); ++node) {
    const Node& n = nodes_[node];
    const bool leaf = std::all_of(n.child.begin(), n.child.end(), [](auto c) { return c == 0; });
    ends_[Row(node)] = {n.stop, leaf ? n.direct : kNoStage};
  }
  // The root: where each first byte leads.
  for (unsigned c = 0; c < 256; ++c) {
    verdicts_[0][c] = Row(nodes_[0].child[FoldByte(static_cast<unsigned char>(c))]);
  }
  // Below it, each node belongs to one first byte, whose earlier stages'
  // first bytes stop the walk.
  for (unsigned first = 0; first < 256; ++first) {
    const std::uint16_t top = nodes_[0].child[first];
    if (top != 0) FillVerdicts(top, upstream_[first]);
  }
}

std::uint16_t ChainFilter::Row(std::size_t node) {
  return node == 0 ? kSkip : static_cast<std::uint16_t>(node + kFirstNode - 1);
}

void ChainFilter::FillVerdicts(std::uint16_t node, const std::bitset<256>& upstream) {
  Verdicts& row = verdicts_[Row(node)];
  if (nodes_[node].stop) {
    row.fill(kStop);  // a pattern ends here
    return;
  }
  for (unsigned c = 0; c < 256; ++c) {
    const unsigned char folded = FoldByte(static_cast<unsigned char>(c));
    cleared_[Row(node)][c] = Row(nodes_[node].child[folded]);
    row[c] = upstream[folded] ? kStop : cleared_[Row(node)][c];
  }
  for (unsigned folded = 0; folded < 256; ++folded) {
    const std::uint16_t child = nodes_[node].child[folded];
    if (child != 0) FillVerdicts(child, upstream);
  }
}

bool ChainFilter::Skippable(std::string_view text, std::size_t p) const {
  std::size_t length = 0;
  return Walk(text, p, length, true) == kSkip;
}

int ChainFilter::DirectMatch(std::string_view text, std::size_t p, std::size_t& length) const {
  const std::uint16_t node = Walk(text, p, length, true);
  return node >= kFirstNode ? ends_[node].direct : kNoStage;
}

std::uint16_t ChainFilter::Walk(std::string_view text, std::size_t p, std::size_t& length,
                                bool clears) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::uint16_t node = verdicts_[0][bytes[p]];  // p holds a first byte
  // Walk the prefix shared with some pattern; each byte of it, and the byte
  // that ends it, must be one at which no earlier stage begins an edit.
  std::size_t q = p + 1;
  for (; !ends_[node].stop; ++q) {
    if (q == text.size()) return kSkip;
    std::uint16_t next = verdicts_[node][bytes[q]];
    if (next == kStop && clears) {
      std::size_t unused = 0;
      if (Walk(text, q, unused, false) == kSkip) next = cleared_[node][bytes[q]];
    }
    node = next;
    if (node < kFirstNode) return node;
  }
  length = q - p;
  return node;
}

std::size_t ChainFilter::ScanScalar(std::string_view text, std::size_t from) const {
  for (std::size_t p = from; p < text.size(); ++p) {
    if (verdicts_[0][static_cast<unsigned char>(text[p])] != kSkip && !Skippable(text, p)) {
      return p;
    }
  }
  return text.size();
}

std::size_t ChainFilter::NextStop(std::string_view text, std::size_t from,
                                  ScannedBlock& last) const {
  std::size_t next = from;
#ifdef QUILLMERE_HAVE_SSE2
  if (terms_.size() <= kMaxVectorFirstBytes) {
    std::size_t stop = text.size();
#if defined(QUILLMERE_AVX2_SCAN) && defined(QUILLMERE_HAVE_AVX2_DISPATCH)
    if (HasAvx2()) stop = ScanBlocksForStopsAvx2(*this, terms_, text, next, next, last);
#endif
    if (stop == text.size()) {
      stop = ScanBlocksForStops<Sse2Lanes>(*this, terms_, text, next, next, last);
    }
    if (stop != text.size()) return stop;
  }
#endif
  return ScanScalar(text, next);
}

}  // namespace quillmere::detail
