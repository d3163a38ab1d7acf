// The primitives' contract on the cases where resume points, overlaps and case
// modes decide the result. Each case runs on the engine and on the reference,
// so the oracle of the differential tests is checked too.
#include "text_primitives.h"

#include <gtest/gtest.h>

#include <string>

#include "reference_engine.h"

namespace quillmere {
namespace {

class Primitives : public ::testing::TestWithParam<bool> {
 protected:
  bool reference() const { return GetParam(); }

  long Find(const std::string& pattern, const std::string& text, long start, bool cs) {
    if (reference()) return reference::FindText(pattern, text, start, cs);
    return static_cast<long>(FindText(pattern, text, static_cast<std::size_t>(start), cs));
  }
  TextBuffer RemoveAll(const std::string& text, const std::string& target) {
    TextBuffer b{text, false};
    reference() ? reference::RemoveAllText(b, target) : RemoveAllText(b, target);
    return b;
  }
  TextBuffer RemoveBlock(const std::string& text, const std::string& begin,
                         const std::string& end) {
    TextBuffer b{text, false};
    reference() ? reference::RemoveBlocks(b, begin, end) : RemoveBlocks(b, begin, end);
    return b;
  }
  TextBuffer ReplaceBlock(const std::string& text, const std::string& begin, const std::string& end,
                          const std::string& replacement) {
    TextBuffer b{text, false};
    reference() ? reference::ReplaceBlocks(b, begin, end, replacement)
                : ReplaceBlocks(b, begin, end, replacement);
    return b;
  }
  TextBuffer ReplaceAll(const std::string& text, const std::string& target,
                        const std::string& replacement, bool cs) {
    TextBuffer b{text, false};
    reference() ? reference::ReplaceAllText(b, target, replacement, cs)
                : ReplaceAllText(b, target, replacement, cs);
    return b;
  }
  long OnePass(TextBuffer& b, const std::string& target, const std::string& replacement) {
    if (reference()) return reference::ReplaceOnePass(b, target, replacement);
    return static_cast<long>(ReplaceOnePass(b, target, replacement));
  }
  void Trim(TextBuffer& b) { reference() ? reference::TrimWhiteSpace(b) : TrimWhiteSpace(b); }
};

TEST_P(Primitives, FindTextPastTheLastPossibleMatchIsMinusOne) {
  for (bool cs : {true, false}) {
    EXPECT_EQ(Find("abcd", "abc", 0, cs), -1);
    EXPECT_EQ(Find("bc", "abc", 2, cs), -1);
    EXPECT_EQ(Find("c", "abc", 3, cs), -1);
    EXPECT_EQ(Find("c", "abc", 4, cs), -1);
    EXPECT_EQ(Find("c", "abc", 2, cs), 2);
  }
}

TEST_P(Primitives, FindTextFoldsOnlyAsciiLetters) {
  EXPECT_EQ(Find("<br>", "x<BR>", 0, false), 1);
  EXPECT_EQ(Find("<br>", "x<BR>", 0, true), -1);
  // '@' and '`', '[' and '{' differ only in bit 0x20 but are not letters.
  EXPECT_EQ(Find("@[", "`{ @[", 0, false), 3);
  EXPECT_EQ(Find("`", "@", 0, false), -1);
  // Bytes from 0x80 up never fold: 0xC9 and 0xE9 are E-acute in Latin-1.
  EXPECT_EQ(Find("\xE9", "\xC9", 0, false), -1);
  EXPECT_EQ(Find("caf\xE9", "CAF\xE9", 0, false), 0);
}

TEST_P(Primitives, RemoveAllTextKeepsAnOccurrenceFormedBeforeTheResumePoint) {
  const TextBuffer b = RemoveAll("aabb", "ab");
  EXPECT_EQ(b.text, "ab");
  EXPECT_TRUE(b.modified);
}

TEST_P(Primitives, RemoveAllTextIgnoresCase) {
  EXPECT_EQ(RemoveAll("x<p></p>y<P></P>z<p></P>", "<p></p>").text, "xyz");
}

TEST_P(Primitives, RemoveBlocksClosesAtTheFirstEndText) {
  EXPECT_EQ(RemoveBlock("<script>a<script>b</script>c</script>", "<script", "/script>").text,
            "c</script>");
}

TEST_P(Primitives, RemoveBlocksStopsAtABeginWithoutEnd) {
  const TextBuffer b = RemoveBlock("<img a><img b", "<img", ">");
  EXPECT_EQ(b.text, "<img b");
  EXPECT_TRUE(b.modified);
  const TextBuffer untouched = RemoveBlock("<img b", "<img", ">");
  EXPECT_EQ(untouched.text, "<img b");
  EXPECT_FALSE(untouched.modified);
}

TEST_P(Primitives, RemoveBlocksLetsTheEndOverlapTheBegin) {
  EXPECT_EQ(RemoveBlock("x<!-->y", "<!--", "-->").text, "xy");
}

TEST_P(Primitives, RemoveBlocksWithEndOnlyBeforeBeginChangesNothing) {
  const TextBuffer b = RemoveBlock("a>b<img c", "<img", ">");
  EXPECT_EQ(b.text, "a>b<img c");
  EXPECT_FALSE(b.modified);
}

TEST_P(Primitives, RemoveBlocksRestartsAndSeesBeginsFormedByTheDeletion) {
  // Deleting the inner comment joins "<!" and "--" into a new opener before
  // the point of the deletion; the restarted search finds it.
  EXPECT_EQ(RemoveBlock("a<!<!--x-->--y-->z", "<!--", "-->").text, "az");
  EXPECT_EQ(RemoveBlock("a<<b>x>!--c-->d", "<b", ">").text, "a<x>!--c-->d");
}

TEST_P(Primitives, ReplaceBlocksTurnsCellsIntoParagraphs) {
  const TextBuffer b = ReplaceBlock("<TD width=5>a<td>b", "<td", ">", "<p>");
  EXPECT_EQ(b.text, "<p>a<p>b");
  EXPECT_TRUE(b.modified);
}

TEST_P(Primitives, ReplaceBlocksSearchesTheInsertedReplacementAgain) {
  // The "<" before the block and "tr>" from the replacement form a new block.
  EXPECT_EQ(ReplaceBlock("x<<tr>y", "<tr", ">", "tr>").text, "xtr>y");
}

TEST_P(Primitives, ReplaceAllTextCollapsesARunOfBreaks) {
  const TextBuffer b = ReplaceAll("a<BR><BR><BR><BR>b", "<BR><BR>", "<BR>", false);
  EXPECT_EQ(b.text, "a<BR>b");
  EXPECT_TRUE(b.modified);
  EXPECT_EQ(ReplaceAll("<br><br>", "<BR><BR>", "<BR>", true).text, "<br><br>");
  EXPECT_EQ(ReplaceAll("<BR><br>", "<BR><BR>", "<BR>", true).text, "<BR><br>");
  EXPECT_FALSE(ReplaceAll("<BR><br>", "<BR><BR>", "<BR>", true).modified);
  EXPECT_EQ(ReplaceAll("<BR><br>", "<BR><BR>", "<BR>", false).text, "<BR>");
}

TEST_P(Primitives, ReplaceAllTextWithItsTargetInTheReplacementEnds) {
  EXPECT_EQ(ReplaceAll("Foo foo", "foo", "FOO", false).text, "FOO FOO");
  EXPECT_EQ(ReplaceAll("a-a", "a", "aa", true).text, "aa-aa");
  EXPECT_EQ(ReplaceAll("xAx", "a", "bab", false).text, "xbabx");
  // Case-sensitive, "FOO" does not hold "foo": the ordinary rule applies.
  EXPECT_EQ(ReplaceAll("Foo foo", "foo", "FOO", true).text, "Foo FOO");
}

TEST_P(Primitives, ReplaceOnePassHalvesRuns) {
  TextBuffer five{"     ", false};
  EXPECT_EQ(OnePass(five, "  ", " "), 2);
  EXPECT_EQ(five.text, "   ");
  EXPECT_TRUE(five.modified);
  TextBuffer ends{"\r\n\r\n\r\n\r\n\r\n", false};
  EXPECT_EQ(OnePass(ends, "\r\n\r\n", "\r\n"), 2);
  EXPECT_EQ(ends.text, "\r\n\r\n\r\n");
}

TEST_P(Primitives, ReplaceOnePassIsCaseSensitiveAndNeverRescans) {
  TextBuffer b{"aA aa", false};
  EXPECT_EQ(OnePass(b, "a", "aa"), 3);
  EXPECT_EQ(b.text, "aaA aaaa");
}

TEST_P(Primitives, AnOperationThatFindsNothingLeavesModifiedAsItWas) {
  for (bool before : {false, true}) {
    TextBuffer b{"a b", before};
    EXPECT_EQ(OnePass(b, "  ", " "), 0);
    EXPECT_EQ(b.modified, before);
    b.modified = before;
    reference() ? reference::RemoveAllText(b, "zz") : RemoveAllText(b, "zz");
    reference() ? reference::RemoveBlocks(b, "a", "z") : RemoveBlocks(b, "a", "z");
    reference() ? reference::ReplaceAllText(b, "q", "r", false)
                : ReplaceAllText(b, "q", "r", false);
    EXPECT_EQ(b.modified, before);
    EXPECT_EQ(b.text, "a b");
  }
}

TEST_P(Primitives, TrimWhiteSpaceUsesTheSixBytesAndNeverSetsModified) {
  TextBuffer b{"\r\n\t text \r\n", false};
  Trim(b);
  EXPECT_EQ(b.text, "text");
  EXPECT_FALSE(b.modified);
  TextBuffer edges{"\v\f x\xA0\x1F", false};
  Trim(edges);
  EXPECT_EQ(edges.text, "x\xA0\x1F");
  TextBuffer blank{" \t\r\n\v\f", false};
  Trim(blank);
  EXPECT_EQ(blank.text, "");
}

INSTANTIATE_TEST_SUITE_P(EngineAndReference, Primitives, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "Reference" : "Engine";
                         });

}  // namespace
}  // namespace quillmere
