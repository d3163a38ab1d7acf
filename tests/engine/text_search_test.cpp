// The searcher's filtered scan and its fallback must find exactly the first
// match wherever it lies relative to the sixteen-byte blocks.
#include "text_search.h"

#include <gtest/gtest.h>

#include <string>

#include "reference_engine.h"

namespace quillmere::detail {
namespace {

TEST(Searcher, FindsMatchesAtEveryOffsetAroundBlockEdges) {
  for (bool cs : {true, false}) {
    for (std::size_t length = 1; length <= 20; ++length) {
      const std::string pattern = std::string(length - 1, 'q') + "Z";
      const Searcher searcher(pattern, cs);
      for (std::size_t at = 0; at < 40; ++at) {
        const std::string text = std::string(at, 'q') + pattern + std::string(7, 'q');
        // Runs of 'q' before the match are prefixes of the pattern: the first
        // match is where "Z" ends the first full copy.
        const long expected = reference::FindText(pattern, text, 0, cs);
        EXPECT_EQ(static_cast<long>(searcher.Find(text, 0)), expected)
            << "length " << length << " at " << at;
      }
    }
  }
}

TEST(Searcher, RespectsTheStartOffset) {
  const Searcher searcher("ab", true);
  const std::string text = "ab ab ab ab ab ab ab ab ab ab";
  for (std::size_t from = 0; from <= text.size() + 2; ++from) {
    EXPECT_EQ(static_cast<long>(searcher.Find(text, from)),
              reference::FindText("ab", text, static_cast<long>(from), true))
        << "from " << from;
  }
}

TEST(Searcher, FallsBackOnRepetitiveInputWithoutChangingTheResult) {
  // Every position passes the first/second/last byte filter, so the search
  // switches to Knuth-Morris-Pratt part way through.
  const std::string pattern = std::string(60, 'a') + "b" + std::string(60, 'a');
  std::string text(5000, 'a');
  for (bool cs : {true, false}) {
    const Searcher searcher(pattern, cs);
    EXPECT_EQ(searcher.Find(text, 0), kNotFound);
    std::string withMatch = text + "B" + std::string(60, 'A');
    EXPECT_EQ(searcher.Find(withMatch, 0), cs ? kNotFound : 5000 - 60);
    withMatch = text + "b" + std::string(60, 'a');
    EXPECT_EQ(searcher.Find(withMatch, 0), 5000 - 60);
  }
}

TEST(Searcher, FoldsLettersOnlyInTheFilterToo) {
  // 0x40 '@' and 0x60 '`' would collide if every byte were folded with 0x20.
  const Searcher searcher("@x@", false);
  const std::string decoys = std::string(32, '`') + "`X`" + std::string(20, ' ');
  EXPECT_EQ(searcher.Find(decoys, 0), kNotFound);
  EXPECT_EQ(searcher.Find(decoys + "@X@", 0), decoys.size());
}

TEST(Searcher, EmptyPatternMatchesAtTheStart) {
  const Searcher searcher("", false);
  EXPECT_EQ(searcher.Find("abc", 2), 2u);
  EXPECT_EQ(searcher.Find("abc", 3), 3u);
  EXPECT_EQ(searcher.Find("abc", 4), kNotFound);
}

}  // namespace
}  // namespace quillmere::detail
