// The line diff behind --diff and the preview: the runs of changed lines put
// together again give the new text, and the unified form is what patch reads.
#include "text_diff.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quillmere {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

// `before` with each run's old lines replaced by the new text's lines.
std::string Applied(const std::string& before, const std::string& after,
                    const std::vector<ChangedLines>& runs) {
  const std::vector<std::string> old = Lines(before);
  const std::vector<std::string> changed = Lines(after);
  std::string out;
  std::size_t next = 0;  // the next old line to copy, 0-based
  for (const ChangedLines& run : runs) {
    const auto from = static_cast<std::size_t>(run.oldCount == 0 ? run.oldStart : run.oldStart - 1);
    for (; next < from && next < old.size(); ++next) out += old[next];
    const auto added =
        static_cast<std::size_t>(run.newCount == 0 ? run.newStart : run.newStart - 1);
    for (int n = 0; n < run.newCount; ++n) out += changed.at(added + static_cast<std::size_t>(n));
    next += static_cast<std::size_t>(run.oldCount);
  }
  for (; next < old.size(); ++next) out += old[next];
  return out;
}

TEST(TextDiffTest, TheChangedRunsPutTogetherGiveTheNewText) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pool = {"a\n", "b\n", "<p>\n", "\n", "c\r\n", "last"};
  for (int round = 0; round < 400; ++round) {
    std::string texts[2];
    for (std::string& text : texts) {
      const int lines = static_cast<int>(random() % 12);
      for (int l = 0; l < lines; ++l) text += pool[random() % (pool.size() - 1)];
      if (random() % 3 == 0) text += pool.back();
    }
    const std::vector<ChangedLines> runs = ChangedLineRuns(texts[0], texts[1]);
    EXPECT_EQ(Applied(texts[0], texts[1], runs), texts[1]) << texts[0] << "|" << texts[1];
    EXPECT_EQ(runs.empty(), texts[0] == texts[1]);
  }
}

TEST(TextDiffTest, TheUnifiedFormCountsAndMarksLinesAsPatchReadsThem) {
  const struct {
    std::string before, after, diff;
  } cases[] = {
      {"same\n", "same\n", ""},
      {"x<!-- c -->\n", "x",
       "--- f\n+++ f\n@@ -1 +1 @@\n-x<!-- c -->\n+x\n\\ No newline at end of file\n"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nfive\n6\n7\n8\n9\n",
       "--- f\n+++ f\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
      {"a\nb\n", "b\n", "--- f\n+++ f\n@@ -1,2 +1 @@\n-a\n b\n"},
      {"", "new\n", "--- f\n+++ f\n@@ -0,0 +1 @@\n+new\n"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n", "x\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\ny\n",
       "--- f\n+++ f\n@@ -1,4 +1,4 @@\n-1\n+x\n 2\n 3\n 4\n@@ -9,4 +9,4 @@\n 9\n 10\n "
       "11\n-12\n+y\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnifiedDiff(c.before, c.after, "f", "f", false), c.diff) << c.before;
  }
}

}  // namespace
}  // namespace quillmere
