// The line diff on dtl, a header-only diff template library: where libgit2
// is not at hand (the Windows cross build). Lines are compared whole, line
// ends included; each run of changes lists its removed lines before its
// added ones, and the hunks follow GNU diff's unified form, as patch reads it.
#include <algorithm>
#include <cstddef>
#include <dtl/dtl.hpp>

#include "text_diff.h"

namespace quillmere {
namespace {

constexpr std::size_t kContextLines = 3;
constexpr const char* kRed = "\x1b[31m";
constexpr const char* kGreen = "\x1b[32m";
constexpr const char* kCyan = "\x1b[36m";
constexpr const char* kPlain = "\x1b[0m";

enum class Edit { kSame, kRemoved, kAdded };

struct Step {
  Edit edit;
  std::string_view line;  // with its line end, if it has one
};

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

// The shortest edit script from the lines of `before` to those of `after`.
std::vector<Step> EditScript(std::string_view before, std::string_view after) {
  using Lines = std::vector<std::string_view>;
  dtl::Diff<std::string_view, Lines> diff(LinesOf(before), LinesOf(after), true);
  diff.onHuge();
  diff.compose();
  std::vector<Step> steps;
  for (const auto& [line, info] : diff.getSes().getSequence()) {
    const Edit edit = info.type == dtl::SES_DELETE ? Edit::kRemoved
                      : info.type == dtl::SES_ADD  ? Edit::kAdded
                                                   : Edit::kSame;
    steps.push_back({edit, line});
  }
  return steps;
}

// A hunk: the steps [first, last) with their place in the two texts.
struct Hunk {
  std::size_t first = 0;
  std::size_t last = 0;
  ChangedLines lines;
};

// The changes with `context` unchanged lines around each; changes no more
// than twice that apart share a hunk.
std::vector<Hunk> HunksOf(const std::vector<Step>& steps, std::size_t context) {
  std::vector<Hunk> hunks;
  int oldLine = 0;  // lines of each text before the step at `at`
  int newLine = 0;
  std::size_t at = 0;
  const auto advance = [&](std::size_t to) {
    for (; at < to; ++at) {
      if (steps[at].edit != Edit::kAdded) ++oldLine;
      if (steps[at].edit != Edit::kRemoved) ++newLine;
    }
  };
  for (std::size_t i = 0; i < steps.size();) {
    if (steps[i].edit == Edit::kSame) {
      ++i;
      continue;
    }
    Hunk hunk;
    hunk.first = i - std::min(context, i - (hunks.empty() ? 0 : hunks.back().last));
    std::size_t end = i;  // one past the last change
    for (std::size_t j = i; j < steps.size(); ++j) {
      if (steps[j].edit != Edit::kSame) {
        end = j + 1;
      } else if (j - end >= 2 * context) {
        break;
      }
    }
    hunk.last = std::min(steps.size(), end + context);
    advance(hunk.first);
    hunk.lines.oldStart = oldLine + 1;
    hunk.lines.newStart = newLine + 1;
    const int oldBefore = oldLine;
    const int newBefore = newLine;
    advance(hunk.last);
    hunk.lines.oldCount = oldLine - oldBefore;
    hunk.lines.newCount = newLine - newBefore;
    // An empty side starts at the line before, as diff and patch count it.
    if (hunk.lines.oldCount == 0) --hunk.lines.oldStart;
    if (hunk.lines.newCount == 0) --hunk.lines.newStart;
    hunks.push_back(hunk);
    i = end;
  }
  return hunks;
}

std::string Range(int start, int count) {
  return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

std::string Coloured(const char* colour, const std::string& text, bool on) {
  return on ? colour + text + kPlain : text;
}

}  // namespace

std::vector<ChangedLines> ChangedLineRuns(std::string_view before, std::string_view after) {
  std::vector<ChangedLines> runs;
  for (const Hunk& hunk : HunksOf(EditScript(before, after), 0)) runs.push_back(hunk.lines);
  return runs;
}

std::string UnifiedDiff(std::string_view before, std::string_view after,
                        const std::string& oldLabel, const std::string& newLabel, bool colour) {
  const std::vector<Step> steps = EditScript(before, after);
  const std::vector<Hunk> hunks = HunksOf(steps, kContextLines);
  if (hunks.empty()) return {};
  std::string out = Coloured("\x1b[1m", "--- " + oldLabel + "\n+++ " + newLabel + "\n", colour);
  for (const Hunk& hunk : hunks) {
    const ChangedLines& lines = hunk.lines;
    out += Coloured(kCyan,
                    "@@ -" + Range(lines.oldStart, lines.oldCount) + " +" +
                        Range(lines.newStart, lines.newCount) + " @@\n",
                    colour);
    for (std::size_t s = hunk.first; s < hunk.last; ++s) {
      const std::string line(steps[s].line);
      switch (steps[s].edit) {
        case Edit::kRemoved:
          out += Coloured(kRed, "-" + line, colour);
          break;
        case Edit::kAdded:
          out += Coloured(kGreen, "+" + line, colour);
          break;
        case Edit::kSame:
          out += " " + line;
          break;
      }
      // A last line without its line end is marked so, as patch expects.
      if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
    }
  }
  return out;
}

}  // namespace quillmere
