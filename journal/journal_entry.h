#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "file_store.h"

namespace quillmere {

// One file a run changed: what it was, where its old content is kept (if it
// was), and what the run left: its content by size and hash, its time of
// last change, its mode and which file it was.
struct JournalEntry {
  int number = 0;
  std::string path;  // absolute, as the run was given it
  FileStamp before;
  bool kept = false;  // the old content was copied
  // Where the old content starts in the run's file of small contents, when it
  // went there rather than into a file of its own.
  std::optional<std::uint64_t> packedAt;
  std::uint64_t afterSize = 0;
  Timestamp afterModified;
  std::uint64_t afterHash = 0;
  // What the run left, where the entry records it (journals of earlier
  // versions do not): the file's mode and identity.
  std::optional<std::uint32_t> afterMode;
  std::optional<FileKey> afterKey;
  bool undone = false;
  // An undo of the file began and may have put its old content back already.
  bool undoing = false;
  // Written before the save, so that a run killed during or just after it
  // still knows the file: what the run wrote is known by size and hash alone.
  bool pending = false;
};

// An entry as one line of the run's journal (with its line end), and back;
// nothing for a line that is none (cut short by a kill). A line that takes
// back entry N is "N\tx".
std::string EntryLine(const JournalEntry& entry);
std::optional<JournalEntry> ParseEntry(const std::string& line);
std::string TakeBackLine(int number);
// The entry a take-back line takes back.
std::optional<int> TakenBack(const std::string& line);

}  // namespace quillmere
