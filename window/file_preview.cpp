#include "file_preview.h"

#include <algorithm>
#include <future>

#include "cleaning_pass.h"
#include "rules_in_encoding.h"
#include "text_decoding.h"

namespace quillmere {
namespace {

// The side's own part of each changed place, 0-based.
std::vector<LineRun> SideRuns(const std::vector<ChangedLines>& places, bool before) {
  std::vector<LineRun> runs;
  runs.reserve(places.size());
  for (const ChangedLines& place : places) {
    runs.push_back({PlaceStart(place, before), before ? place.oldCount : place.newCount});
  }
  return runs;
}

}  // namespace

int PlaceStart(const ChangedLines& place, bool before) {
  const int start = before ? place.oldStart : place.newStart;
  const int count = before ? place.oldCount : place.newCount;
  // The diff names the line after which the missing lines would stand.
  return count > 0 ? start - 1 : start;
}

int CorrespondingLine(const std::vector<ChangedLines>& places, int line, bool fromBefore) {
  int shift = 0;
  for (const ChangedLines& place : places) {
    const int start = PlaceStart(place, fromBefore);
    const int count = fromBefore ? place.oldCount : place.newCount;
    const int otherCount = fromBefore ? place.newCount : place.oldCount;
    if (line < start) break;
    if (line < start + count) return PlaceStart(place, !fromBefore);
    shift += otherCount - count;
  }
  return line + shift;
}

PreviewSide::PreviewSide(std::string text, std::vector<LineRun> changed)
    : text_(std::move(text)), changed_(std::move(changed)) {
  if (!text_.empty()) lineStarts_.push_back(0);
  for (std::size_t at = text_.find('\n'); at != std::string::npos; at = text_.find('\n', at + 1)) {
    if (at + 1 < text_.size()) lineStarts_.push_back(at + 1);
  }
}

std::string_view PreviewSide::line(int index) const {
  const std::size_t start = lineStarts_.at(static_cast<std::size_t>(index));
  const std::size_t next = static_cast<std::size_t>(index) + 1 < lineStarts_.size()
                               ? lineStarts_[static_cast<std::size_t>(index) + 1]
                               : text_.size();
  std::string_view text(text_.data() + start, next - start);
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

std::vector<LineRun>::const_iterator PreviewSide::RunFrom(int index) const {
  return std::lower_bound(
      changed_.begin(), changed_.end(), index,
      [](const LineRun& run, int line) { return run.first + run.count <= line; });
}

bool PreviewSide::isChanged(int index) const {
  const auto run = RunFrom(index);
  // Runs that end at `index` were passed; a gap run never holds a line.
  for (auto it = run; it != changed_.end() && it->first <= index; ++it) {
    if (it->count > 0 && index < it->first + it->count) return true;
  }
  return false;
}

bool PreviewSide::hasGapAbove(int index) const {
  const auto found =
      std::lower_bound(changed_.begin(), changed_.end(), index,
                       [](const LineRun& run, int line) { return run.first < line; });
  return found != changed_.end() && found->first == index && found->count == 0;
}

FilePreview PreviewFile(FileStore& store, const std::string& path, const CleaningOptions& options) {
  FilePreview preview;
  LoadedFile loaded = store.Peek(path);
  if (!loaded.ok()) {
    preview.error = loaded.error;
    return preview;
  }
  Result<DecodedText> decoded = DecodeText(std::move(loaded.text), options.encoding);
  if (!decoded.has_value()) {
    preview.error = decoded.error();
    return preview;
  }
  preview.encoding = decoded->encoding.Name();
  const CleaningOptions converted = RulesFor(options, decoded->encoding).options;
  // What each group does takes a pass per group; it is found beside the
  // one pass and the diff, which give the text and the changed lines.
  const std::string& text = decoded->text;
  auto groups = std::async(std::launch::async, [&text, &options = converted] {
    std::string cleaned;
    return CleanGroupByGroup(text, options, cleaned);
  });
  TextBuffer cleaned{text, false};
  CleanText(cleaned, converted);
  preview.places = ChangedLineRuns(text, cleaned.text);
  preview.groups = groups.get();
  preview.before = PreviewSide(std::move(decoded->text), SideRuns(preview.places, true));
  preview.after = PreviewSide(std::move(cleaned.text), SideRuns(preview.places, false));
  return preview;
}

}  // namespace quillmere
