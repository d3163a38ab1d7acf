#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "file_store.h"

namespace quillmere {

// A recovery copy is one header line, then the old content byte for byte,
// so that `tail -n +2` gives the content back by hand. The header records
// the file, the old content's size and hash, and what the rewrite was to
// write: its size and a hash of each of its pages, enough to recognise every
// state the rewrite can leave the file in, and nothing else.
inline constexpr std::size_t kRecordedPage = 4096;

struct RecoveryRecord {
  FileKey key;
  std::string path;  // the file's, when the copy was made
  std::string old;   // the content before the rewrite
  // Copies made by earlier versions record only the old content.
  bool knowsNew = false;
  std::uint64_t newSize = 0;
  std::vector<std::uint32_t> newPages;  // a hash of each page of the new text
};

std::string RecoveryCopyHeader(const FileKey& key, std::string_view old, std::string_view text,
                               std::string_view path);

enum class CopyCondition {
  kWhole,
  kCutShort,  // cut short while it was written: the file was not touched yet
  kDamaged,   // complete in length but not what was written
  kForeign,   // no recovery copy at all
};

struct ParsedCopy {
  CopyCondition condition = CopyCondition::kForeign;
  RecoveryRecord record;  // with kWhole
};

ParsedCopy ParseRecoveryCopy(std::string copy);

// Where a file stands against the rewrite a copy records.
enum class RewriteState {
  kNotStarted,  // the file is exactly the old content
  // Each page of the file is the old content's or the new text's (the new
  // text up to some point and the old content after it, after a kill; any
  // mix of the two, after a power loss), bytes beyond the old content are
  // zeros reserved for the new text, and its size lies between the two.
  kInterrupted,
  kChangedSince,  // anything else: edited, replaced, another file
};

RewriteState StateOf(const RecoveryRecord& record, std::string_view file);

}  // namespace quillmere
