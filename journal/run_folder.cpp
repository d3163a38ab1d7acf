#include "run_folder.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "file_content.h"

namespace quillmere {
namespace {

constexpr std::string_view kHeader = "quillmere undo journal 1\tstarted=";
constexpr std::string_view kUndoingMark = "\tundoing";
constexpr std::size_t kPiece = std::size_t{1} << 20;

std::string CopyName(int number) {
  return std::to_string(number) + ".old";
}

// The complete lines of a text: a last line without its line end was cut
// short by a kill.
std::vector<std::string> CompleteLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return lines;
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

RunFolder::RunFolder(std::string id, std::unique_ptr<Folder> folder)
    : id_(std::move(id)), folder_(std::move(folder)) {}

MaybeError RunFolder::Begin(std::int64_t started) {
  Result<std::unique_ptr<OpenFile>> created = folder_->Create(std::string(kJournal));
  if (!created.has_value()) return created.error();
  const std::string header = std::string(kHeader) + std::to_string(started) + "\n";
  if (MaybeError error = WriteWhole(**created, header)) return error;
  journal_ = {std::move(*created), header.size()};
  namesChanged_ = true;
  return std::nullopt;
}

Result<RunFolder::Appended*> RunFolder::OpenForAppending(Appended& slot, std::string_view name) {
  if (slot.file) return &slot;
  const std::string file(name);
  Result<std::unique_ptr<OpenFile>> opened = folder_->Open(file, Access::kReadWrite);
  if (!opened.has_value() && opened.error().missing()) {
    opened = folder_->Create(file);
    namesChanged_ = true;
  }
  if (!opened.has_value()) return opened.error();
  Result<FileInfo> info = (*opened)->Info();
  if (!info.has_value()) return info.error();
  slot = {std::move(*opened), info->size};
  return &slot;
}

Result<std::string> RunFolder::ReadAll(std::string_view name) {
  // A file this folder holds open is read through that handle: the system's
  // lock keeps a second one out.
  for (Appended* slot : {&journal_, &packed_, &undone_}) {
    if (slot->file && (slot == &journal_  ? name == kJournal
                       : slot == &packed_ ? name == kPacked
                                          : name == kUndone)) {
      return ReadWhole(*slot->file, slot->size);
    }
  }
  Result<std::unique_ptr<OpenFile>> opened = folder_->Open(std::string(name), Access::kRead);
  if (!opened.has_value()) return opened.error();
  Result<FileInfo> info = (*opened)->Info();
  if (!info.has_value()) return info.error();
  return ReadWhole(**opened, info->size);
}

Result<std::int64_t> RunFolder::Started() {
  Result<std::string> text = ReadAll(kJournal);
  if (!text.has_value()) return text.error();
  if (!text->starts_with(kHeader)) return FileError{FileProblem::kSystemError, "not a journal"};
  return std::atoll(text->c_str() + kHeader.size());
}

Result<std::vector<JournalEntry>> RunFolder::Entries() {
  Result<std::string> journal = ReadAll(kJournal);
  if (!journal.has_value()) return journal.error();
  Result<std::string> undone = ReadAll(kUndone);
  if (!undone.has_value() && undone.error().problem != FileProblem::kNotFound)
    return undone.error();
  std::map<int, JournalEntry> byNumber;
  std::vector<std::string> lines = CompleteLines(*journal);
  // The first line is the header. An entry's last line stands: the one
  // written after its save replaces the pending one, and a taken-back save
  // removes it.
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (const std::optional<int> number = TakenBack(lines[i])) {
      byNumber.erase(*number);
    } else if (std::optional<JournalEntry> entry = ParseEntry(lines[i])) {
      byNumber[entry->number] = std::move(*entry);
    }
  }
  if (undone.has_value()) {
    for (const std::string& line : CompleteLines(*undone)) {
      const auto found = byNumber.find(std::atoi(line.c_str()));
      if (found == byNumber.end()) continue;
      if (line.ends_with(kUndoingMark)) {
        found->second.undoing = true;
      } else {
        found->second.undone = true;
      }
    }
  }
  std::vector<JournalEntry> entries;
  entries.reserve(byNumber.size());
  for (auto& [number, entry] : byNumber) entries.push_back(std::move(entry));
  return entries;
}

MaybeError RunFolder::Append(std::string_view line) {
  return AppendTo(journal_, kJournal, line);
}

Result<std::uint64_t> RunFolder::Pack(std::string_view content) {
  Result<Appended*> packed = OpenForAppending(packed_, kPacked);
  if (!packed.has_value()) return packed.error();
  const std::uint64_t at = (*packed)->size;
  if (MaybeError error = WriteWhole(*(*packed)->file, content, at)) {
    // What a failed write left goes: the next content starts where it ends.
    (*packed)->file.reset();
    return *error;
  }
  (*packed)->size += content.size();
  return at;
}

MaybeError RunFolder::Keep(int number, OpenFile& source, std::uint64_t size) {
  const std::string name = CopyName(number);
  Result<std::unique_ptr<OpenFile>> copy = folder_->Create(name);
  if (!copy.has_value()) return copy.error();
  std::string piece(kPiece, '\0');
  MaybeError error;
  std::uint64_t done = 0;
  while (!error && done < size) {
    Result<std::size_t> got = source.ReadAt(piece.data(), piece.size(), done);
    if (!got.has_value()) {
      error = got.error();
    } else if (*got == 0) {
      error = FileError{FileProblem::kChanged, "it became shorter while being copied"};
    } else {
      const std::size_t count =
          static_cast<std::size_t>(std::min<std::uint64_t>(*got, size - done));
      error = WriteWhole(**copy, std::string_view(piece.data(), count), done);
      done += count;
    }
  }
  // A copy of its own is flushed at once: it is large, so one flush more
  // costs little beside the copying.
  if (!error) error = (*copy)->Sync();
  if (error) {
    copy->reset();
    // The error that stopped the copy is the one reported.
    (void)folder_->Remove(name);
  }
  namesChanged_ = namesChanged_ || !error;
  return error;
}

void RunFolder::Drop(int number) {
  // A copy left behind only takes room until its run is removed.
  (void)folder_->Remove(CopyName(number));
}

Result<std::string> RunFolder::OldContent(const JournalEntry& entry) {
  if (!entry.packedAt) {
    Result<std::string> content = ReadAll(CopyName(entry.number));
    if (content.has_value() && content->size() != entry.before.size) {
      return FileError{FileProblem::kSystemError, "the undo copy is damaged"};
    }
    return content;
  }
  Result<Appended*> packed = OpenForAppending(packed_, kPacked);
  if (!packed.has_value()) return packed.error();
  if (*entry.packedAt + entry.before.size > (*packed)->size) {
    return FileError{FileProblem::kSystemError, "the undo copy is damaged"};
  }
  std::string content(static_cast<std::size_t>(entry.before.size), '\0');
  for (std::size_t done = 0; done < content.size();) {
    Result<std::size_t> got = (*packed)->file->ReadAt(content.data() + done, content.size() - done,
                                                      *entry.packedAt + done);
    if (!got.has_value()) return got.error();
    if (*got == 0) return FileError{FileProblem::kSystemError, "the undo copy is damaged"};
    done += *got;
  }
  return content;
}

MaybeError RunFolder::MarkUndoing(int number) {
  return AppendTo(undone_, kUndone, std::to_string(number) + std::string(kUndoingMark) + "\n");
}

MaybeError RunFolder::MarkUndone(int number) {
  return AppendTo(undone_, kUndone, std::to_string(number) + "\n");
}

MaybeError RunFolder::AppendTo(Appended& slot, std::string_view name, std::string_view line) {
  Result<Appended*> file = OpenForAppending(slot, name);
  if (!file.has_value()) return file.error();
  if (MaybeError error = WriteWhole(*(*file)->file, line, (*file)->size)) return error;
  (*file)->size += line.size();
  return std::nullopt;
}

MaybeError RunFolder::Sync() {
  for (const std::shared_ptr<OpenFile>& file : OpenFiles()) {
    if (MaybeError error = file->Sync()) return error;
  }
  return SyncNames();
}

std::vector<std::shared_ptr<OpenFile>> RunFolder::OpenFiles() const {
  std::vector<std::shared_ptr<OpenFile>> files;
  for (const Appended* slot : {&journal_, &packed_, &undone_}) {
    if (slot->file) files.push_back(slot->file);
  }
  return files;
}

MaybeError RunFolder::SyncNames() {
  if (namesChanged_) {
    if (MaybeError error = folder_->Sync()) return error;
    namesChanged_ = false;
  }
  return std::nullopt;
}

std::uint64_t RunFolder::Size() {
  std::uint64_t bytes = 0;
  Result<std::vector<std::string>> names = folder_->Names();
  if (!names.has_value()) return 0;
  for (const std::string& name : *names) {
    if (Result<FileInfo> info = folder_->InfoOf(name); info.has_value()) bytes += info->size;
  }
  return bytes;
}

void RunFolder::Close() {
  journal_ = {};
  packed_ = {};
  undone_ = {};
}

}  // namespace quillmere
