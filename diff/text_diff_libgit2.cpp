#include <git2.h>

#include <memory>

#include "text_diff.h"

namespace quillmere {
namespace {

constexpr int kContextLines = 3;
constexpr const char* kRed = "\x1b[31m";
constexpr const char* kGreen = "\x1b[32m";
constexpr const char* kCyan = "\x1b[36m";
constexpr const char* kPlain = "\x1b[0m";

// libgit2, set up once for the whole program.
void Initialise() {
  static const int ready = git_libgit2_init();
  (void)ready;
}

using Patch = std::unique_ptr<git_patch, decltype(&git_patch_free)>;

Patch Compare(std::string_view before, std::string_view after, int context) {
  Initialise();
  git_diff_options options = GIT_DIFF_OPTIONS_INIT;
  options.context_lines = static_cast<std::uint32_t>(context);
  // Text is bytes: a NUL byte or a long line is no reason to call it binary.
  options.flags = GIT_DIFF_FORCE_TEXT;
  git_patch* patch = nullptr;
  if (git_patch_from_buffers(&patch, before.data(), before.size(), nullptr, after.data(),
                             after.size(), nullptr, &options) != 0) {
    return Patch(nullptr, &git_patch_free);
  }
  return Patch(patch, &git_patch_free);
}

std::string Coloured(const char* colour, std::string text, bool on) {
  return on ? colour + text + kPlain : text;
}

}  // namespace

std::vector<ChangedLines> ChangedLineRuns(std::string_view before, std::string_view after) {
  std::vector<ChangedLines> runs;
  const Patch patch = Compare(before, after, 0);
  if (!patch) return runs;
  for (std::size_t h = 0; h < git_patch_num_hunks(patch.get()); ++h) {
    const git_diff_hunk* hunk = nullptr;
    std::size_t lines = 0;
    if (git_patch_get_hunk(&hunk, &lines, patch.get(), h) != 0) continue;
    runs.push_back({hunk->old_start, hunk->old_lines, hunk->new_start, hunk->new_lines});
  }
  return runs;
}

std::string UnifiedDiff(std::string_view before, std::string_view after,
                        const std::string& oldLabel, const std::string& newLabel, bool colour) {
  const Patch patch = Compare(before, after, kContextLines);
  if (!patch || git_patch_num_hunks(patch.get()) == 0) return {};
  std::string out = Coloured("\x1b[1m", "--- " + oldLabel + "\n+++ " + newLabel + "\n", colour);
  for (std::size_t h = 0; h < git_patch_num_hunks(patch.get()); ++h) {
    const git_diff_hunk* hunk = nullptr;
    std::size_t lines = 0;
    if (git_patch_get_hunk(&hunk, &lines, patch.get(), h) != 0) continue;
    out += Coloured(kCyan, std::string(hunk->header, hunk->header_len), colour);
    for (std::size_t l = 0; l < lines; ++l) {
      const git_diff_line* line = nullptr;
      if (git_patch_get_line_in_hunk(&line, patch.get(), h, l) != 0) continue;
      const std::string content(line->content, line->content_len);
      switch (line->origin) {
        case GIT_DIFF_LINE_DELETION:
          out += Coloured(kRed, "-" + content, colour);
          break;
        case GIT_DIFF_LINE_ADDITION:
          out += Coloured(kGreen, "+" + content, colour);
          break;
        case GIT_DIFF_LINE_CONTEXT:
          out += " " + content;
          break;
        default:
          // The mark that the last line has no line end comes as its own
          // line: "\n\\ No newline at end of file\n".
          out += content;
          break;
      }
    }
  }
  return out;
}

}  // namespace quillmere
