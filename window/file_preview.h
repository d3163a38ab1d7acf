#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning_options.h"
#include "file_error.h"
#include "file_store.h"
#include "group_changes.h"
#include "text_diff.h"

namespace quillmere {

// Lines of one side of a preview that changed: `count` lines from `first`
// (0-based), or, with a count of 0, a place just above line `first` where
// lines of the other side are missing.
struct LineRun {
  int first = 0;
  int count = 0;
};

// One side of a preview: a text, where its lines begin and which changed.
class PreviewSide {
 public:
  PreviewSide() = default;
  PreviewSide(std::string text, std::vector<LineRun> changed);

  int lineCount() const { return static_cast<int>(lineStarts_.size()); }
  // Line `index` without its line end ("\n" or "\r\n").
  std::string_view line(int index) const;
  bool isChanged(int index) const;
  // Whether lines are missing just above line `index`.
  bool hasGapAbove(int index) const;
  const std::string& text() const { return text_; }
  const std::vector<LineRun>& changed() const { return changed_; }

 private:
  // The first run that ends after `index`, or the end.
  std::vector<LineRun>::const_iterator RunFrom(int index) const;

  std::string text_;
  std::vector<std::size_t> lineStarts_;
  std::vector<LineRun> changed_;  // by `first`, apart
};

// What a run with some options would do to one file: the file as it is and
// as it would be, the changed places on each side and what every enabled
// group did. Nothing is written.
struct FilePreview {
  std::optional<FileError> error;  // the file could not be read
  PreviewSide before;
  PreviewSide after;
  std::vector<ChangedLines> places;
  std::vector<GroupChange> groups;
  std::string encoding;  // the file's, by name ("UTF-16LE BOM")
};

// Where a place starts on one side, 0-based. A place with no lines on that
// side starts at the line below which they are missing.
int PlaceStart(const ChangedLines& place, bool before);

// The line of the other side that stands where `line` of one side stands:
// the same unchanged line, or the start of the other side of a change.
int CorrespondingLine(const std::vector<ChangedLines>& places, int line, bool fromBefore);

// The file is taken as a run would start from it, but nothing is written:
// an interrupted save's old content is shown, not put back. Both sides are
// UTF-8, whatever the file's encoding.
FilePreview PreviewFile(FileStore& store, const std::string& path, const CleaningOptions& options);

}  // namespace quillmere
