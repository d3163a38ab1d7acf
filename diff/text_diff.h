#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// One run of changed lines: `oldCount` lines from `oldStart` (1-based) that
// became `newCount` lines from `newStart`.
struct ChangedLines {
  int oldStart = 0;
  int oldCount = 0;
  int newStart = 0;
  int newCount = 0;
};

// The changes between two texts, line by line: what a preview highlights.
std::vector<ChangedLines> ChangedLineRuns(std::string_view before, std::string_view after);

// The changes as a unified diff ("---", "+++", "@@" and three lines of
// context) with the labels after "--- " and "+++ " as given, so that `patch
// -p0` turns `before` into `after` when they name the file. Empty when the
// texts are equal. With `colour`, removed lines are red, added ones green and
// hunk heads cyan, as a terminal shows them.
std::string UnifiedDiff(std::string_view before, std::string_view after,
                        const std::string& oldLabel, const std::string& newLabel, bool colour);

}  // namespace quillmere
