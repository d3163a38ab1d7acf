#include "recovery_record.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>

#include "escaped_path.h"
#include "file_content.h"

namespace quillmere {
namespace {

constexpr std::string_view kHeaderStart = "quillmere recovery copy ";
constexpr std::string_view kPathField = " path=";
constexpr char kHexDigits[] = "0123456789abcdef";

std::uint32_t PageHash(std::string_view page) {
  return static_cast<std::uint32_t>(ContentHash(page));
}

std::string PageHashes(std::string_view text) {
  std::string hex;
  hex.reserve((text.size() + kRecordedPage - 1) / kRecordedPage * 8);
  for (std::size_t at = 0; at < text.size(); at += kRecordedPage) {
    const std::uint32_t hash = PageHash(text.substr(at, kRecordedPage));
    for (int shift = 28; shift >= 0; shift -= 4) hex += kHexDigits[(hash >> shift) & 0xF];
  }
  return hex;
}

bool ParsePageHashes(std::string_view hex, std::vector<std::uint32_t>& pages) {
  if (hex.size() % 8 != 0) return false;
  pages.reserve(hex.size() / 8);
  for (std::size_t at = 0; at < hex.size(); at += 8) {
    std::uint32_t hash = 0;
    for (std::size_t i = at; i < at + 8; ++i) {
      const char* digit = std::strchr(kHexDigits, hex[i]);
      if (digit == nullptr || hex[i] == '\0') return false;
      hash = hash << 4 | static_cast<std::uint32_t>(digit - kHexDigits);
    }
    pages.push_back(hash);
  }
  return true;
}

bool ParseNumber(const std::string& text, int base, std::uint64_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, base);
  return *end == '\0';
}

// "name=value name=value ..." as a map.
std::map<std::string, std::string> FieldsOf(std::string_view line) {
  std::map<std::string, std::string> fields;
  while (!line.empty()) {
    const std::size_t end = std::min(line.find(' '), line.size());
    const std::string_view field = line.substr(0, end);
    const std::size_t equals = field.find('=');
    if (equals != std::string_view::npos) {
      fields.emplace(field.substr(0, equals), field.substr(equals + 1));
    }
    line.remove_prefix(std::min(end + 1, line.size()));
  }
  return fields;
}

// Whether `file[from, to)` holds the old content there, with zeros past its
// end (room reserved for a longer new text reads as zeros).
bool OldOrReservedAt(std::string_view old, std::string_view file, std::size_t from,
                     std::size_t to) {
  const std::size_t oldEnd = std::clamp(old.size(), from, to);
  if (oldEnd > from && file.compare(from, oldEnd - from, old.substr(from, oldEnd - from)) != 0) {
    return false;
  }
  return std::all_of(file.begin() + static_cast<std::ptrdiff_t>(oldEnd),
                     file.begin() + static_cast<std::ptrdiff_t>(to), [](char c) { return c == 0; });
}

}  // namespace

std::string RecoveryCopyHeader(const FileKey& key, std::string_view old, std::string_view text,
                               std::string_view path) {
  char fields[256];
  std::snprintf(fields, sizeof fields,
                "2 device=%" PRIx64 " file=%" PRIx64 " birth=%" PRIx64 " size=%zu hash=%016" PRIx64
                " new-size=%zu new-pages=",
                key.device, key.id, key.birth, old.size(), ContentHash(old), text.size());
  std::string header(kHeaderStart);
  header += fields;
  header += PageHashes(text);
  header += kPathField;
  header += EscapedPath(path);
  header += '\n';
  return header;
}

ParsedCopy ParseRecoveryCopy(std::string copy) {
  ParsedCopy parsed;
  const std::size_t lineEnd = copy.find('\n');
  if (copy.compare(0, kHeaderStart.size(), kHeaderStart) != 0) {
    // An empty or partly written start is one of ours, cut short.
    const bool started = kHeaderStart.starts_with(copy.substr(0, kHeaderStart.size()));
    parsed.condition = started ? CopyCondition::kCutShort : CopyCondition::kForeign;
    return parsed;
  }
  if (lineEnd == std::string::npos) {
    parsed.condition = CopyCondition::kCutShort;
    return parsed;
  }
  const std::string_view line =
      std::string_view(copy).substr(kHeaderStart.size(), lineEnd - kHeaderStart.size());
  const std::size_t pathAt = line.find(kPathField);
  std::map<std::string, std::string> fields = FieldsOf(line.substr(0, pathAt));
  RecoveryRecord& record = parsed.record;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  const bool version2 = line.starts_with("2 ");
  const bool known = (version2 || line.starts_with("1 ")) && pathAt != std::string_view::npos &&
                     ParseNumber(fields["device"], 16, record.key.device) &&
                     ParseNumber(fields["file"], 16, record.key.id) &&
                     ParseNumber(fields["size"], 10, size) && ParseNumber(fields["hash"], 16, hash);
  if (!known) {
    parsed.condition = CopyCondition::kForeign;
    return parsed;
  }
  if (version2) {
    record.knowsNew =
        ParseNumber(fields["birth"], 16, record.key.birth) &&
        ParseNumber(fields["new-size"], 10, record.newSize) &&
        ParsePageHashes(fields["new-pages"], record.newPages) &&
        record.newPages.size() == (record.newSize + kRecordedPage - 1) / kRecordedPage;
    if (!record.knowsNew) {
      parsed.condition = CopyCondition::kDamaged;
      return parsed;
    }
  }
  record.path = UnescapedPath(line.substr(pathAt + kPathField.size()));
  copy.erase(0, lineEnd + 1);
  if (copy.size() < size) {
    parsed.condition = CopyCondition::kCutShort;
    return parsed;
  }
  if (copy.size() != size || ContentHash(copy) != hash) {
    parsed.condition = CopyCondition::kDamaged;
    return parsed;
  }
  record.old = std::move(copy);
  parsed.condition = CopyCondition::kWhole;
  return parsed;
}

RewriteState StateOf(const RecoveryRecord& record, std::string_view file) {
  const std::string_view old = record.old;
  if (file == old) return RewriteState::kNotStarted;
  if (!record.knowsNew) return RewriteState::kChangedSince;
  const std::uint64_t newSize = record.newSize;
  if (file.size() < std::min<std::uint64_t>(old.size(), newSize) ||
      file.size() > std::max<std::uint64_t>(old.size(), newSize)) {
    return RewriteState::kChangedSince;
  }
  for (std::size_t page = 0, from = 0; from < file.size(); ++page, from += kRecordedPage) {
    const std::size_t to = std::min(from + kRecordedPage, file.size());
    if (OldOrReservedAt(old, file, from, to)) continue;
    // The new text's page, and past the new text's end the old content not
    // yet cut off.
    const std::size_t newEnd =
        static_cast<std::size_t>(std::min<std::uint64_t>(from + kRecordedPage, newSize));
    const bool isNew = from < newSize && newEnd <= to &&
                       PageHash(file.substr(from, newEnd - from)) == record.newPages[page] &&
                       OldOrReservedAt(old, file, newEnd, to);
    if (!isNew) return RewriteState::kChangedSince;
  }
  return RewriteState::kInterrupted;
}

}  // namespace quillmere
