// Patterns for paths in a folder tree: names at any depth, whole relative
// paths, sets, "**" as any number of folders, letter case.
#include "glob_pattern.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(GlobPattern, MatchesAsDocumented) {
  struct Case {
    const char* pattern;
    const char* path;
    bool matches;
  };
  const Case cases[] = {
      {"*.html", "a.html", true},
      {"*.html", "x/y/a.html", true},  // no '/': the name, at any depth
      {"*.html", "a.html/b", false},
      {"*.html", "a.htm", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"docs/*.html", "docs/a.html", true},
      {"docs/*.html", "docs/x/a.html", false},  // '*' stays in its folder
      {"docs/*.html", "y/docs/a.html", false},  // with '/': from the top
      {"/index.html", "index.html", true},
      {"/index.html", "x/index.html", false},
      {"**/drafts/*", "drafts/a", true},  // "**/" may be no folder at all
      {"**/drafts/*", "x/y/drafts/a", true},
      {"docs/**/*.txt", "docs/a.txt", true},
      {"docs/**/*.txt", "docs/x/y/a.txt", true},
      {"docs/**/*.txt", "docsx/a.txt", false},
      {"old/**", "old/a/b.htm", true},
      {"old/**", "older/a.htm", false},
      {"a**b", "a/b", false},  // "**" inside a name is '*'
      {"a**b", "axxb", true},
      {"[ab]*.htm", "b1.htm", true},
      {"[!ab]*.htm", "b1.htm", false},
      {"[a-c][0-9].txt", "c7.txt", true},
      {"[a-c][0-9].txt", "d7.txt", false},
      {"x[/]y", "x/y", false},  // a set never matches '/'
      {"[]]", "]", true},
      {"[", "[", true},  // a lone '[' is itself
      {"drafts/", "a/drafts", true},
      {"./top.htm", "top.htm", true},
      {"*.HTML", "a.html", false},  // case counts unless folded
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GlobPattern(c.pattern, false).Matches(c.path), c.matches)
        << c.pattern << " on " << c.path;
  }
  EXPECT_TRUE(GlobPattern("*.HTML", true).Matches("x/A.html"));
  EXPECT_TRUE(GlobPattern("[A-C]*", true).Matches("b"));
}

}  // namespace
}  // namespace quillmere
