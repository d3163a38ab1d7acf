// The cleaning pass: group order, run conditions on the user's texts, the case
// mode of each step and the doubled-break collapse.
#include "cleaning_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmere {
namespace {

TextBuffer Clean(const std::string& text, const CleaningOptions& options) {
  TextBuffer buffer{text, false};
  CleanText(buffer, options);
  return buffer;
}

CleaningOptions Only(bool CleaningOptions::*flag, bool caseSensitive = false) {
  CleaningOptions options;
  options.*flag = 1;
  options.caseSensitive = caseSensitive ? 1 : 0;
  return options;
}

TEST(CleaningPass, EverySwitchOffChangesNothing) {
  CleaningOptions options;
  options.removeText = "a";
  options.searchText = "a";
  options.replaceText = "b";
  options.caseSensitive = 1;
  options.pdaPreset = 1;  // drives the preset only; no edit of its own
  const TextBuffer b = Clean("  <table><B>a</B>  <!-- x -->\r\n", options);
  EXPECT_EQ(b.text, "  <table><B>a</B>  <!-- x -->\r\n");
  EXPECT_FALSE(b.modified);
}

TEST(CleaningPass, TablesBecomeParagraphs) {
  const auto tables = Only(&CleaningOptions::convertTables);
  EXPECT_EQ(Clean("<table border=1><tr><td>a</td><td>b</td></tr></table>", tables).text,
            "<p>a</p><p>b</p>");
  // Row tags go in any case, unless they carry attributes; "<thead>" begins like "<th".
  EXPECT_EQ(Clean("<TR>x</Tr><tr class=r><THEAD>", tables).text, "x<tr class=r><p>");
}

TEST(CleaningPass, CellClosersFollowTheRunsCaseMode) {
  const auto tables = Only(&CleaningOptions::convertTables, true);
  EXPECT_EQ(Clean("<TD>a</TD><td>b</td>", tables).text, "<p>a</TD><p>b</p>");
  EXPECT_EQ(Clean("<TD>a</TD>", Only(&CleaningOptions::convertTables)).text, "<p>a</p>");
}

TEST(CleaningPass, ScriptsFormsPicturesAndSoundsGoWithTheirContent) {
  EXPECT_EQ(Clean("a<SCRIPT>x</SCRIPT>b", Only(&CleaningOptions::removeScripts)).text, "ab");
  EXPECT_EQ(Clean("a<applet code=c>p</APPLET>b", Only(&CleaningOptions::removeScripts)).text, "ab");
  EXPECT_EQ(Clean("a<IMG src=x>b<img>", Only(&CleaningOptions::removePictures)).text, "ab");
  EXPECT_EQ(Clean("a<form>t<input></Form>b", Only(&CleaningOptions::removeForms)).text, "ab");
  EXPECT_EQ(Clean("a<BGSOUND src=s>b", Only(&CleaningOptions::removeSounds)).text, "ab");
}

TEST(CleaningPass, ListsTurnItemsAndLinksIntoBreaks) {
  const auto lists = Only(&CleaningOptions::convertLists);
  EXPECT_EQ(Clean("<ul><li>a</li><LI>b</ul>", lists).text, "<BR>a<BR>b");
  // A link tag begins with the letters of "<LI".
  EXPECT_EQ(Clean("<link rel=x>", lists).text, "<BR>");
  EXPECT_EQ(Clean("<dl><dt>t</dt><DD>d</dd></DL>", lists).text, "t<BR>d");
  EXPECT_EQ(Clean("<nobr>x</NOBR><Menu>y</menu><DIR>z</dir>", lists).text, "xyz");
}

TEST(CleaningPass, FontsAndStylesAreRemoved) {
  EXPECT_EQ(Clean("<b>a</B><font size=2>b</font><BLOCKQUOTE>c</blockquote><basefont x>",
                  Only(&CleaningOptions::removeFonts))
                .text,
            "abc");
}

TEST(CleaningPass, RemoveTextIgnoresCaseWhateverTheCaseSwitch) {
  for (int cs : {0, 1}) {
    CleaningOptions options;
    options.removeTextEnabled = 1;
    options.removeText = "foo";
    options.caseSensitive = cs;
    EXPECT_EQ(Clean("Foo foo FOO.", options).text, "  .");
  }
}

TEST(CleaningPass, SearchAndReplaceFollowsTheCaseSwitch) {
  CleaningOptions options;
  options.searchEnabled = 1;
  options.searchText = "foo";
  options.replaceText = "bar";
  EXPECT_EQ(Clean("Foo foo", options).text, "bar bar");
  options.caseSensitive = 1;
  EXPECT_EQ(Clean("Foo foo", options).text, "Foo bar");
}

TEST(CleaningPass, SearchAndReplaceEndsWhenTheReplacementHoldsTheTarget) {
  CleaningOptions options;
  options.searchEnabled = 1;
  options.searchText = "foo";
  options.replaceText = "FOO";
  EXPECT_EQ(Clean("Foo foo", options).text, "FOO FOO");
  options.searchText = "a";
  options.replaceText = "aa";
  EXPECT_EQ(Clean("banana", options).text, "baanaanaa");
}

TEST(CleaningPass, EmptyUserTextsSwitchTheirGroupOff) {
  CleaningOptions options;
  options.searchEnabled = 1;
  options.searchText = "a";
  options.removeBlockEnabled = 1;
  options.blockBegin = "<";
  options.removeTextEnabled = 1;
  const TextBuffer b = Clean("a <x> a", options);
  EXPECT_EQ(b.text, "a <x> a");
  EXPECT_FALSE(b.modified);
  // A text of spaces is not empty.
  options.removeText = " ";
  EXPECT_EQ(Clean("a <x> a", options).text, "a<x>a");
}

TEST(CleaningPass, RemoveBlockUsesTheUsersTexts) {
  CleaningOptions options;
  options.removeBlockEnabled = 1;
  options.blockBegin = "<a";
  options.blockEnd = "</a>";
  EXPECT_EQ(Clean("x<A HREF=y>link</A>z", options).text, "xz");
}

TEST(CleaningPass, LaterGroupsSeeTheReplacements) {
  CleaningOptions options;
  options.searchEnabled = 1;
  options.searchText = "X";
  options.replaceText = "<B>";
  options.removeFonts = 1;
  EXPECT_EQ(Clean("aXbXc", options).text, "abc");
}

TEST(CleaningPass, NotesReduceSpacesBeforeDeletingTabs) {
  EXPECT_EQ(Clean("a \t b", Only(&CleaningOptions::cleanNotes)).text, "a  b");
}

TEST(CleaningPass, TrimmingAloneIsNotAChange) {
  const TextBuffer b = Clean("\r\n<html>\r\n", Only(&CleaningOptions::cleanNotes));
  EXPECT_EQ(b.text, "<html>");
  EXPECT_FALSE(b.modified);
}

TEST(CleaningPass, DoubledBreaksCollapseInTheRunsCaseMode) {
  EXPECT_EQ(Clean("<BR><br><BR>", Only(&CleaningOptions::cleanNotes)).text, "<BR>");
  const TextBuffer kept = Clean("<BR><br><BR>", Only(&CleaningOptions::cleanNotes, true));
  EXPECT_EQ(kept.text, "<BR><br><BR>");
  EXPECT_FALSE(kept.modified);
}

TEST(CleaningPass, LineEndsAndEmptyParagraphs) {
  const auto notes = Only(&CleaningOptions::cleanNotes);
  EXPECT_EQ(Clean("a\r\n\r\n b", notes).text, "a\r\nb");
  EXPECT_EQ(Clean("<p>\r\n\r\n</p>", notes).text, "");
  EXPECT_EQ(Clean("a<!-- note -->b", notes).text, "ab");
  // Bare line feeds are not reduced, except at the very ends by the trim.
  EXPECT_EQ(Clean("\n\na\n\n\nb\n\n", notes).text, "a\n\n\nb");
}

TEST(CleaningPass, GroupsRunInTheirFixedOrder) {
  // Tables run before notes: the cell conversion makes "<p></p>", which the
  // notes group then removes. Lists run before fonts: "<LI>" becomes "<BR>".
  CleaningOptions options;
  options.convertTables = 1;
  options.cleanNotes = 1;
  EXPECT_EQ(Clean("a<td></td>b", options).text, "ab");
  options = {};
  options.cleanNotes = 1;
  options.convertLists = 1;
  // Notes run before lists, so breaks made from list items are not collapsed.
  EXPECT_EQ(Clean("<li>a<li><li>b", options).text, "<BR>a<BR><BR>b");
}

// Rule lists: each kind's rules run in the order given, after the group's
// own texts, at the place of their group in the fixed order.
TEST(CleaningPass, RulesRunInOrderAtTheirGroupsPlace) {
  using K = TextRule::Kind;
  struct Case {
    const char* name;
    std::vector<TextRule> rules;
    const char* text;
    const char* cleaned;
  };
  const Case cases[] = {
      {"every replace rule runs",
       {{K::kReplace, "foo", "X"}, {K::kReplace, "bar", "Y"}},
       "foo bar foo",
       "X Y X"},
      {"in the order given", {{K::kReplace, "a", "b"}, {K::kReplace, "b", "c"}}, "ab", "cc"},
      {"the other order", {{K::kReplace, "b", "c"}, {K::kReplace, "a", "b"}}, "ab", "bc"},
      // Remove text runs before replace, whatever the list's order.
      {"groups keep their order",
       {{K::kReplace, "x", "yy"}, {K::kRemoveText, "y", ""}},
       "xy",
       "yy"},
      {"blocks after removed text",
       {{K::kRemoveBlock, "[", "]"}, {K::kRemoveText, "]", ""}, {K::kRemoveBlock, "(", ")"}},
       "a[b]c]d(e)f",
       "a[bcdf"},
      {"the fonts group sees replacements", {{K::kReplace, "X", "<B>"}}, "aXb", "ab"},
      {"a rule with an empty text does nothing",
       {{K::kReplace, "a", ""}, {K::kRemoveText, "", ""}, {K::kRemoveBlock, "a", ""}},
       "banana",
       "banana"},
  };
  for (const Case& c : cases) {
    CleaningOptions options;
    options.removeTextEnabled = options.removeBlockEnabled = options.searchEnabled = true;
    options.removeFonts = true;
    options.rules = c.rules;
    EXPECT_EQ(Clean(c.text, options).text, c.cleaned) << c.name;
  }
}

TEST(CleaningPass, RulesFollowTheGroupsOwnTextAndItsSwitch) {
  CleaningOptions options;
  options.searchText = "a";
  options.replaceText = "b";
  options.rules = {{TextRule::Kind::kReplace, "b", "c"}};
  EXPECT_EQ(Clean("ab", options).text, "ab");
  options.searchEnabled = true;
  EXPECT_EQ(Clean("ab", options).text, "cc");
}

}  // namespace
}  // namespace quillmere
