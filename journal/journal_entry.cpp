#include "journal_entry.h"

#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "escaped_path.h"

namespace quillmere {
namespace {

// The fields of a line, in order. Journals of earlier versions end after
// the path or the packed place; later fields are optional.
enum Field {
  kNumber,
  kKept,
  kBeforeSize,
  kBeforeAccessed,
  kBeforeModified,
  kBeforeMode,
  kAfterSize,
  kAfterModified,
  kAfterHash,
  kPath,
  kPackedAt,
  kAfterMode,
  kAfterKey,
  kFieldCount,
};
constexpr std::size_t kEarliestFieldCount = kPath + 1;

std::string TimeText(Timestamp time) {
  return std::to_string(time.seconds) + "." + std::to_string(time.nanoseconds);
}

Timestamp TimeOf(const std::string& text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string::npos) throw std::invalid_argument(text);
  return {std::stoll(text.substr(0, dot)), std::stoll(text.substr(dot + 1))};
}

std::string KeyText(const FileKey& key) {
  char text[64];
  std::snprintf(text, sizeof text, "%" PRIx64 ":%" PRIx64 ":%" PRIx64, key.device, key.id,
                key.birth);
  return text;
}

FileKey KeyOf(const std::string& text) {
  FileKey key;
  if (std::sscanf(text.c_str(), "%" SCNx64 ":%" SCNx64 ":%" SCNx64, &key.device, &key.id,
                  &key.birth) != 3) {
    throw std::invalid_argument(text);
  }
  return key;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// The second field of a line: whether the entry's old content was kept,
// and a line that takes back an entry whose save failed.
constexpr const char* kCopyKept = "1";
constexpr const char* kNoCopy = "0";
constexpr const char* kCopyPending = "p";  // kept, its file being saved
constexpr const char* kTakenBack = "x";

std::string KeptField(const JournalEntry& e) {
  if (e.pending) return kCopyPending;
  return e.kept ? kCopyKept : kNoCopy;
}

}  // namespace

std::string EntryLine(const JournalEntry& e) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016" PRIx64, e.afterHash);
  std::string line = std::to_string(e.number) + "\t" + KeptField(e) + "\t" +
                     std::to_string(e.before.size) + "\t" + TimeText(e.before.accessed) + "\t" +
                     TimeText(e.before.modified) + "\t" + std::to_string(e.before.mode) + "\t" +
                     std::to_string(e.afterSize) + "\t" + TimeText(e.afterModified) + "\t" + hash +
                     "\t" + EscapedPath(e.path);
  // Field by field: GCC 12 warns falsely of overlapping copies in
  // "\t" + a temporary string.
  line += '\t';
  line += e.packedAt ? std::to_string(*e.packedAt) : std::string("-");
  line += '\t';
  line += e.afterMode ? std::to_string(*e.afterMode) : std::string("-");
  line += '\t';
  line += e.afterKey ? KeyText(*e.afterKey) : std::string("-");
  line += '\n';
  return line;
}

std::optional<JournalEntry> ParseEntry(const std::string& line) {
  const std::vector<std::string> f = Fields(line);
  if (f.size() < kEarliestFieldCount || f.size() > kFieldCount || f[kKept] == kTakenBack) {
    return std::nullopt;
  }
  const auto given = [&](Field field) { return f.size() > field && f[field] != "-"; };
  try {
    JournalEntry e;
    e.number = std::stoi(f[kNumber]);
    e.pending = f[kKept] == kCopyPending;
    e.kept = f[kKept] == kCopyKept || e.pending;
    e.before = {std::stoull(f[kBeforeSize]), TimeOf(f[kBeforeAccessed]), TimeOf(f[kBeforeModified]),
                static_cast<std::uint32_t>(std::stoul(f[kBeforeMode])), std::nullopt};
    e.afterSize = std::stoull(f[kAfterSize]);
    e.afterModified = TimeOf(f[kAfterModified]);
    e.afterHash = std::stoull(f[kAfterHash], nullptr, 16);
    e.path = UnescapedPath(f[kPath]);
    if (given(kPackedAt)) e.packedAt = std::stoull(f[kPackedAt]);
    if (given(kAfterMode)) e.afterMode = static_cast<std::uint32_t>(std::stoul(f[kAfterMode]));
    if (given(kAfterKey)) e.afterKey = KeyOf(f[kAfterKey]);
    return e;
  } catch (const std::exception&) {
    return std::nullopt;  // a line cut short by a kill
  }
}

std::string TakeBackLine(int number) {
  return std::to_string(number) + "\t" + kTakenBack + "\n";
}

std::optional<int> TakenBack(const std::string& line) {
  const std::vector<std::string> f = Fields(line);
  if (f.size() != 2 || f[1] != kTakenBack) return std::nullopt;
  try {
    return std::stoi(f[0]);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quillmere
