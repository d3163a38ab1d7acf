#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quillmere::detail {

// One edit of a chain, as the text primitives name them.
struct ChainStep {
  enum class Kind {
    kReplaceEach,    // RemoveAllText, ReplaceOnePass, or a ReplaceAllText whose
                     // replacement holds its target: search on after each match
    kReplaceRescan,  // ReplaceAllText: search on from the replacement
    kBlocks,         // RemoveBlocks (empty replacement) or ReplaceBlocks
  };
  Kind kind;
  std::string_view pattern;  // target or begin text; not empty
  std::string_view end;      // end text of kBlocks; not empty there
  std::string_view replacement;
  bool caseSensitive = false;  // kBlocks always folds
};

// At most this many steps make one chain.
inline constexpr std::size_t kMaxChainSteps = 64;

// Applies `steps` (at most kMaxChainSteps) one after the other to `input` in a single pass and writes
// the result to `out`, reusing its capacity. The result is exactly that of
// running each step's loop on the whole text in turn. Returns whether any step
// edited; `out` is meaningful only then.
bool RunEditChain(std::span<const ChainStep> steps, std::string_view input, std::string& out);

}  // namespace quillmere::detail
