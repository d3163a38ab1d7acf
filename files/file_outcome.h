#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "file_error.h"

namespace quillmere {

enum class FileStage { kOpen, kSave };

// Something a store noticed, or made, while it saved a file, that is no
// failure of the file.
struct FileNote {
  enum class Kind {
    kNoUndoCopy,    // the undo journal had no room for its old content
    kTimesNotKept,  // its old times could not be given back (`error` says why)
    kDiff,          // the change, as a unified diff in `text`
    // A recovery copy for the file that is not to be trusted was passed
    // over: its path in `text`, why in `error`.
    kIgnoredCopy,
    // A rule text that the file's code page cannot hold was left out for
    // this file: the code page's name in `text`.
    kRuleNotRepresentable,
  };
  Kind kind;
  FileError error;
  std::string text;
};

// What the stores of one worker noticed of the file in hand.
using FileNotes = std::vector<FileNote>;

// What became of one file of a run.
struct FileOutcome {
  enum class Result { kUnchanged, kChanged, kFailed };
  Result result = Result::kUnchanged;
  FileStage failedAt = FileStage::kOpen;  // with kFailed
  FileError error;                        // with kFailed
  // Its content from before an interrupted run was put back first.
  bool restored = false;
  // The file was read: its size, and the size of its cleaned text (written,
  // or that could not be written).
  bool read = false;
  std::uint64_t bytesBefore = 0;
  std::uint64_t bytesAfter = 0;
  // The encoding it was read in ("UTF-8", "UTF-16LE", "windows-1252"), once read.
  std::string encoding;
  FileNotes notes;
};

}  // namespace quillmere
