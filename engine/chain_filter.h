#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillmere::detail {

// A folded byte as sixteen copies, for a vector scan: text bytes are OR-ed
// with `orMask` (0x20 for a letter) and compared with `value`.
struct VectorByte {
  alignas(16) std::array<unsigned char, 16> value;
  alignas(16) std::array<unsigned char, 16> orMask;
  bool letter;  // orMask is not zero
};

// A first byte of some pattern, and up to four second bytes that narrow the
// positions where it occurs (none: not narrowed).
struct FilterTerm {
  VectorByte first;
  std::array<VectorByte, 4> seconds;
  std::size_t secondCount;
};

// The block of text in which a vector scan last found a stop, and which of its
// positions passed the vector test.
struct ScannedBlock {
  std::size_t start = 0;
  std::size_t width = 0;  // 0: none
  std::uint32_t hits = 0;
};

// Finds the positions of a chain's input that its stages must read one by
// one. At any other position, with every stage idle, each stage would pass the
// byte on unchanged and be idle again after it, so the chain copies it.
//
// A stage can react to position p only if its pattern begins there in the
// text it reads. That text is the input itself up to the first place where a
// stage before it edits, and an edit starts where that earlier stage's pattern
// begins. So p is skipped when no pattern occurs at p in the input and, for
// every pattern sharing a prefix with the input at p, no earlier stage can
// begin an edit within that prefix or at the byte after it. A block stage also
// counts its own first byte: its resumed search can reach back to p across an
// edit. Where such a first byte lies at q, no edit begins there if no pattern
// at all begins at q, which a second walk from q (one that stops at any such
// byte) tells. Patterns are compared with ASCII letters folded, which only
// adds stops.
class ChainFilter {
 public:
  struct Pattern {
    std::string_view text;  // not empty
    bool looksBack;         // a block stage
  };
  static constexpr int kNoStage = -1;
  // Deeper than this a pattern counts as occurring, so the tree stays small
  // whatever the user types.
  static constexpr std::size_t kMaxDepth = 16;
  // How many bytes after a position deciding about it may read: a walk, one
  // more walk from a byte it clears, and a vector block.
  static constexpr std::size_t kLookAhead = 2 * kMaxDepth + 32;

  // The tree of the patterns, walked from the root (row 0) along the bytes at
  // a position. Per row, what the walk does on each byte: kSkip skips the
  // position, kStop stops there (a pattern ends, or an earlier stage may edit
  // at that byte), any other value is the row to go on to. The rows kSkip and
  // kStop lead to themselves. Where a row stops at a byte because an earlier
  // stage may edit there, and no pattern ends at the row, the walk goes on to
  // the row that byte leads to in the tree once the second walk clears it.
  using Verdicts = std::array<std::uint16_t, 256>;
  static constexpr std::uint16_t kSkip = 1;
  static constexpr std::uint16_t kStop = 2;
  static constexpr std::uint16_t kFirstNode = 3;
  struct End {
    bool stop;   // a pattern ends at the node, or goes on deeper than the tree
    int direct;  // the only stage such a match concerns, or kNoStage
  };

  // `patterns` in the order of the stages.
  explicit ChainFilter(std::span<const Pattern> patterns);

  // The first position at or after `from` that the stages must read, or the
  // size of `text`. `last` carries what one call leaves for the next: calls
  // go forward through one text, whose bytes from `from` on stay as they were.
  std::size_t NextStop(std::string_view text, std::size_t from, ScannedBlock& last) const;

  // Whether the stages would pass position `p` (a first byte of some
  // pattern) on unchanged.
  bool Skippable(std::string_view text, std::size_t p) const;

  // The stage whose pattern (folded) matches at `p` when that match is the
  // only thing any stage would react to there, and its length; otherwise
  // kNoStage. The stages before it would pass the match on unchanged. The
  // position must be one at which every stage is idle.
  int DirectMatch(std::string_view text, std::size_t p, std::size_t& length) const;

  const Verdicts* verdicts() const { return verdicts_.data(); }
  const End* ends() const { return ends_.data(); }

 private:
  // The tree of the patterns with letters folded, while it is built.
  struct Node {
    std::array<std::uint16_t, 256> child{};
    bool stop = false;  // a pattern ends here, or goes on deeper than the tree
    int direct = kNoStage;
  };

  void Insert(const Pattern& pattern, int stage);
  // The row where the walk from `p` ends on a pattern's end, or kSkip or
  // kStop; `length` is how far it went. A walk that `clears` bytes where an
  // earlier stage may edit walks again from each, without clearing.
  std::uint16_t Walk(std::string_view text, std::size_t p, std::size_t& length, bool clears) const;
  void BuildFirstBytes();
  void BuildVerdicts();
  void FillVerdicts(std::uint16_t node, const std::bitset<256>& upstream);
  // The row of a node of the tree (0, no node, is kSkip).
  static std::uint16_t Row(std::size_t node);
  std::size_t ScanScalar(std::string_view text, std::size_t from) const;

  std::vector<Node> nodes_;
  std::array<std::bitset<256>, 256> upstream_{};  // per folded first byte
  std::vector<FilterTerm> terms_;
  std::vector<Verdicts> verdicts_;  // per row
  std::vector<Verdicts> cleared_;   // per row: where a cleared byte leads
  std::vector<End> ends_;           // per row
};

}  // namespace quillmere::detail
