#include "run_journal.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

#include "escaped_path.h"
#include "file_content.h"

namespace quillmere {
namespace fs = std::filesystem;

namespace {

constexpr const char* kJournalFile = "journal";
constexpr const char* kUndoneFile = "undone";
constexpr const char* kPackedFile = "small.old";
// Old contents up to this size go into the run's one file of small contents.
constexpr std::size_t kPackedLimit = std::size_t{1} << 20;
constexpr std::string_view kHeader = "quillmere undo journal 1\tstarted=";
constexpr std::uint64_t kMostBytes = std::uint64_t{2} << 30;

// A path held as bytes: UTF-8 where the system takes names in UTF-16.
fs::path PathOf(const std::string& bytes) {
  return fs::path(std::u8string(bytes.begin(), bytes.end()));
}

std::string BytesOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string TimeText(Timestamp time) {
  return std::to_string(time.seconds) + "." + std::to_string(time.nanoseconds);
}

Timestamp TimeOf(const std::string& text) {
  const std::size_t dot = text.find('.');
  return {std::stoll(text.substr(0, dot)), std::stoll(text.substr(dot + 1))};
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// Whether the old content was kept: "1", "0", or "p" while its file is being
// saved; "x" takes back a pending entry whose save failed.
std::string KeptField(const JournalEntry& e) {
  if (e.pending) return "p";
  return e.kept ? "1" : "0";
}

// The last field, where an old content went into the run's shared file.
std::string PackedField(const JournalEntry& e) {
  std::string field;
  if (e.packedAt) field = '\t' + std::to_string(*e.packedAt);
  return field;
}

std::string EntryLine(const JournalEntry& e) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016" PRIx64, e.afterHash);
  return std::to_string(e.number) + "\t" + KeptField(e) + "\t" + std::to_string(e.before.size) +
         "\t" + TimeText(e.before.accessed) + "\t" + TimeText(e.before.modified) + "\t" +
         std::to_string(e.before.mode) + "\t" + std::to_string(e.afterSize) + "\t" +
         TimeText(e.afterModified) + "\t" + hash + "\t" + detail::EscapedPath(e.path) +
         PackedField(e) + "\n";
}

std::optional<JournalEntry> ParseEntry(const std::string& line) {
  const std::vector<std::string> f = Fields(line);
  if (f.size() != 10 && f.size() != 11) return std::nullopt;
  try {
    JournalEntry e;
    e.number = std::stoi(f[0]);
    if (f[1] == "x") return std::nullopt;
    e.kept = f[1] == "1" || f[1] == "p";
    e.pending = f[1] == "p";
    e.before = {std::stoull(f[2]), TimeOf(f[3]), TimeOf(f[4]),
                static_cast<std::uint32_t>(std::stoul(f[5]))};
    e.afterSize = std::stoull(f[6]);
    e.afterModified = TimeOf(f[7]);
    e.afterHash = std::stoull(f[8], nullptr, 16);
    e.path = detail::UnescapedPath(f[9]);
    if (f.size() == 11) e.packedAt = std::stoull(f[10]);
    return e;
  } catch (const std::exception&) {
    return std::nullopt;  // a line cut short by a crash
  }
}

std::uint64_t SizeOfTree(const fs::path& folder) {
  std::uint64_t bytes = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error)) bytes += it->file_size(error);
  }
  return bytes;
}

std::string NewRunId() {
  return LocalTimeText(std::time(nullptr), "%Y%m%d-%H%M%S");
}

}  // namespace

RunJournals::RunJournals(fs::path folder, std::uint64_t byteLimit)
    : folder_(std::move(folder)), byteLimit_(byteLimit) {}

std::vector<std::string> RunJournals::RunIds() const {
  std::vector<std::string> ids;
  std::error_code error;
  for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory(error)) ids.push_back(BytesOf(it->path().filename()));
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::uint64_t RunJournals::BytesUsed() const {
  return SizeOfTree(folder_);
}

std::optional<std::string> RunJournals::StartRun() {
  if (folder_.empty()) return std::nullopt;
  used_.reset();  // other programs may have added or removed runs meanwhile
  std::error_code error;
  fs::create_directories(folder_, error);
  std::vector<std::string> ids = RunIds();
  while (ids.size() >= static_cast<std::size_t>(kRunsKept)) {
    fs::remove_all(folder_ / ids.front(), error);
    ids.erase(ids.begin());
  }
  // A run's name sorts after every run before it, even one made in the same
  // second: "-01", "-02", ... follow.
  const std::string base = NewRunId();
  std::string id = base;
  for (int n = 1; !ids.empty() && id <= ids.back(); ++n) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%02d", n);
    id = base + suffix;
  }
  if (!fs::create_directory(folder_ / id, error)) return std::nullopt;
  std::ofstream journal(folder_ / id / kJournalFile, std::ios::binary);
  journal << kHeader << std::time(nullptr) << "\n";
  if (!journal) return std::nullopt;
  return id;
}

bool RunJournals::MakeRoom(const std::string& run, std::uint64_t bytes) {
  if (!used_) used_ = BytesUsed();
  if (*used_ + bytes <= byteLimit_) return true;
  for (const std::string& id : RunIds()) {
    if (*used_ + bytes <= byteLimit_) return true;
    if (id == run) continue;
    const std::uint64_t freed = SizeOfTree(folder_ / id);
    std::error_code error;
    fs::remove_all(folder_ / id, error);
    if (!error) *used_ -= std::min(*used_, freed);
  }
  return *used_ + bytes <= byteLimit_;
}

void RunJournals::Added(std::uint64_t bytes) {
  if (used_) *used_ += bytes;
}

void RunJournals::Removed(std::uint64_t bytes) {
  if (used_) *used_ -= std::min(*used_, bytes);
}

std::vector<JournalEntry> RunJournals::Entries(const std::string& run) const {
  std::set<int> undone;
  std::ifstream undoneIn(folder_ / run / kUndoneFile, std::ios::binary);
  for (std::string line; std::getline(undoneIn, line);) {
    if (!line.empty()) undone.insert(std::atoi(line.c_str()));
  }
  // An entry's last line stands: the one written after its save replaces
  // the pending one, and a taken-back save removes it.
  std::map<int, JournalEntry> byNumber;
  std::ifstream in(folder_ / run / kJournalFile, std::ios::binary);
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos && line.compare(tab, 2, "\tx") == 0) {
      byNumber.erase(std::atoi(line.c_str()));
      continue;
    }
    std::optional<JournalEntry> entry = ParseEntry(line);
    if (!entry) continue;
    entry->undone = undone.contains(entry->number);
    byNumber[entry->number] = std::move(*entry);
  }
  std::vector<JournalEntry> entries;
  for (auto& [number, entry] : byNumber) entries.push_back(std::move(entry));
  return entries;
}

fs::path RunJournals::CopyOf(const std::string& run, int number) const {
  return folder_ / run / (std::to_string(number) + ".old");
}

std::optional<std::string> RunJournals::OldContent(const std::string& run,
                                                   const JournalEntry& entry) const {
  const fs::path file = entry.packedAt ? folder_ / run / kPackedFile : CopyOf(run, entry.number);
  std::ifstream in(file, std::ios::binary);
  if (entry.packedAt) in.seekg(static_cast<std::streamoff>(*entry.packedAt));
  std::string content(entry.before.size, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (!in || static_cast<std::uint64_t>(in.gcount()) != entry.before.size) return std::nullopt;
  // A copy of its own must end there too.
  if (!entry.packedAt && in.peek() != std::ifstream::traits_type::eof()) return std::nullopt;
  return content;
}

void RunJournals::MarkUndone(const std::string& run, int number) {
  std::ofstream out(folder_ / run / kUndoneFile, std::ios::binary | std::ios::app);
  out << number << "\n";
}

std::vector<RunRecord> RunJournals::List() const {
  std::vector<RunRecord> runs;
  for (const std::string& id : RunIds()) {
    RunRecord record{id, 0, 0, 0, true};
    std::ifstream in(folder_ / id / kJournalFile, std::ios::binary);
    std::string header;
    std::getline(in, header);
    if (header.rfind(kHeader, 0) == 0) record.started = std::atoll(header.c_str() + kHeader.size());
    for (const JournalEntry& entry : Entries(id)) {
      ++record.files;
      if (entry.kept) record.bytes += entry.before.size;
      if (entry.kept && !entry.undone) record.undone = false;
    }
    if (record.files == 0) record.undone = false;
    runs.push_back(record);
  }
  std::reverse(runs.begin(), runs.end());
  return runs;
}

std::string LocalTimeText(std::int64_t seconds, const char* format) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char text[64];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

std::optional<RunRecord> LastRunToUndo(const RunJournals& journals) {
  for (const RunRecord& run : journals.List()) {
    if (!run.undone && run.files > 0) return run;
  }
  return std::nullopt;
}

fs::path DefaultRunsFolder() {
#ifdef _WIN32
  // In UTF-16: the folder is named after the user, in any script.
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  if (local != nullptr && *local != L'\0') return fs::path(local) / "quillmere" / "runs";
#else
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return PathOf(state) / "quillmere" / "runs";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return PathOf(home) / ".local/state/quillmere/runs";
#endif
  return {};
}

std::uint64_t DefaultJournalLimit(const fs::path& folder) {
  std::error_code error;
  fs::path existing = folder;
  while (!existing.empty() && !fs::exists(existing, error)) existing = existing.parent_path();
  const fs::space_info space = fs::space(existing.empty() ? fs::path(".") : existing, error);
  if (error) return 0;
  return std::min(kMostBytes, space.available / 10);
}

std::optional<std::string> RunJournal::run() const {
  const std::lock_guard lock(mutex_);
  return run_;
}

std::pair<int, std::optional<std::string>> RunJournal::NewEntry() {
  const std::lock_guard lock(mutex_);
  if (!started_) {
    started_ = true;
    run_ = journals_.StartRun();
  }
  return {++entries_, run_};
}

bool RunJournal::KeepCopy(const std::string& run, int number, const std::string& path,
                          std::uint64_t size) {
  {
    // Room for this copy and for those other workers are making.
    const std::lock_guard lock(mutex_);
    if (!journals_.MakeRoom(run, copying_ + size)) return false;
    copying_ += size;
  }
  const fs::path copy = journals_.CopyOf(run, number);
  std::error_code error;
  fs::copy_file(PathOf(path), copy, fs::copy_options::overwrite_existing, error);
  const bool kept = !error && fs::file_size(copy, error) == size && !error;
  if (!kept) fs::remove(copy, error);
  const std::lock_guard lock(mutex_);
  copying_ -= size;
  if (kept) journals_.Added(size);
  return kept;
}

std::optional<std::uint64_t> RunJournal::PackCopy(const std::string& run,
                                                  std::string_view content) {
  const std::lock_guard lock(mutex_);
  if (!journals_.MakeRoom(run, copying_ + content.size())) return std::nullopt;
  if (!packed_.is_open()) {
    const fs::path file = journals_.folder() / run / kPackedFile;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    packedSize_ = error ? 0 : size;
    packed_.open(file, std::ios::binary | std::ios::app);
  }
  const std::uint64_t at = packedSize_;
  // Handed to the system before the file is replaced, so that a run killed
  // after the save still has it.
  packed_.write(content.data(), static_cast<std::streamsize>(content.size())).flush();
  if (!packed_) {
    packed_.close();  // measured and opened anew for the next one
    return std::nullopt;
  }
  packedSize_ += content.size();
  journals_.Added(content.size());
  return at;
}

void RunJournal::DropCopy(const std::string& run, int number) {
  std::error_code error;
  const fs::path copy = journals_.CopyOf(run, number);
  const std::uintmax_t size = fs::file_size(copy, error);
  if (!error && fs::remove(copy, error)) {
    const std::lock_guard lock(mutex_);
    journals_.Removed(size);
  }
}

void RunJournal::Record(const std::string& run, const JournalEntry& entry) {
  const std::lock_guard lock(mutex_);
  if (!journal_.is_open())
    journal_.open(journals_.folder() / run / kJournalFile, std::ios::binary | std::ios::app);
  const std::string line = EntryLine(entry);
  // Each line is handed to the system at once: a run killed later keeps it.
  journal_ << line << std::flush;
  journals_.Added(line.size());
}

void RunJournal::TakeBack(int number) {
  const std::lock_guard lock(mutex_);
  if (!journal_.is_open()) return;
  const std::string line = std::to_string(number) + "\tx\n";
  journal_ << line << std::flush;
  journals_.Added(line.size());
}

void RunJournal::Restart() {
  const std::lock_guard lock(mutex_);
  journal_.close();
  packed_.close();
  run_.reset();
  started_ = false;
  entries_ = 0;
}

JournaledFileStore::JournaledFileStore(FileStore& store, RunJournal& journal,
                                       std::function<void(const std::string&)> notKept)
    : FileStoreLayer(store), journal_(journal), notKept_(std::move(notKept)) {}

JournaledFileStore::JournaledFileStore(FileStore& store, RunJournals& journals,
                                       std::function<void(const std::string&)> notKept)
    : FileStoreLayer(store),
      ownJournal_(std::make_unique<RunJournal>(journals)),
      journal_(*ownJournal_),
      notKept_(std::move(notKept)) {}

LoadedFile JournaledFileStore::Load(const std::string& path) {
  stamps_.clear();
  FileStamp before;
  if (!inner().Stamp(path, before)) stamps_[path] = before;
  LoadedFile loaded = inner().Load(path);
  loadedPath_ = path;
  loadedText_.reset();
  if (loaded.ok() && loaded.text.size() <= kPackedLimit) loadedText_ = loaded.text;
  return loaded;
}

std::optional<FileError> JournaledFileStore::Save(const std::string& path,
                                                  const std::string& text) {
  const auto [number, run] = journal_.NewEntry();
  JournalEntry entry;
  entry.number = number;
  std::error_code error;
  entry.path = BytesOf(fs::absolute(PathOf(path), error));
  if (error) entry.path = path;
  // The stamp taken before the file was read keeps its time of last access.
  const auto early = stamps_.find(path);
  const bool stamped = run && (early != stamps_.end() ? (entry.before = early->second, true)
                                                      : !inner().Stamp(path, entry.before));
  stamps_.clear();
  // A small file's old content is the text it was loaded with: the save
  // below fails if the file changed since.
  if (stamped && path == loadedPath_ && loadedText_ && loadedText_->size() == entry.before.size) {
    entry.packedAt = journal_.PackCopy(*run, *loadedText_);
    entry.kept = entry.packedAt.has_value();
  }
  loadedText_.reset();
  if (stamped && !entry.kept)
    entry.kept = journal_.KeepCopy(*run, entry.number, path, entry.before.size);

  entry.afterSize = text.size();
  entry.afterHash = detail::ContentHash(text);
  if (entry.kept) {
    entry.pending = true;
    journal_.Record(*run, entry);
    entry.pending = false;
  }
  std::optional<FileError> saved = inner().Save(path, text);
  if (saved) {
    if (entry.kept) journal_.TakeBack(entry.number);
    if (entry.kept && !entry.packedAt) journal_.DropCopy(*run, entry.number);
    return saved;
  }
  if (!entry.kept) {
    if (notKept_) notKept_(path);
    if (!stamped) return std::nullopt;
  }
  FileStamp after;
  if (!inner().Stamp(path, after)) {
    entry.afterSize = after.size;
    entry.afterModified = after.modified;
  }
  journal_.Record(*run, entry);
  return std::nullopt;
}

std::vector<UndoneFile> UndoRun(FileStore& store, RunJournals& journals, const std::string& run) {
  std::vector<UndoneFile> results;
  std::vector<JournalEntry> entries = journals.Entries(run);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const JournalEntry& entry = *it;
    if (entry.undone) continue;
    UndoneFile result{entry.path, std::nullopt, ""};
    const auto leave = [&](FileError error) {
      result.error = std::move(error);
      result.reason = ReasonText(*result.error);
      results.push_back(result);
    };
    if (!entry.kept) {
      leave({FileProblem::kNotFound, "no undo copy was kept"});
      continue;
    }
    FileStamp now;
    if (std::optional<FileError> error = store.Stamp(entry.path, now)) {
      leave(*error);
      continue;
    }
    const LoadedFile current = store.Load(entry.path);
    if (!current.ok()) {
      leave(*current.error);
      continue;
    }
    const std::optional<std::string> old = journals.OldContent(run, entry);
    // A pending entry's file may never have been saved: then it is as it was.
    if (entry.pending && old && current.text == *old) {
      journals.MarkUndone(run, entry.number);
      results.push_back(result);
      continue;
    }
    // A pending entry has no time of the save to compare.
    if (now.size != entry.afterSize || (!entry.pending && !(now.modified == entry.afterModified)) ||
        detail::ContentHash(current.text) != entry.afterHash) {
      leave({FileProblem::kChanged, "since the run"});
      continue;
    }
    if (!old) {
      leave({FileProblem::kSystemError, "the undo copy is damaged"});
      continue;
    }
    if (std::optional<FileError> error = store.Save(entry.path, *old)) {
      leave(*error);
      continue;
    }
    store.Restamp(entry.path, entry.before);
    journals.MarkUndone(run, entry.number);
    results.push_back(result);
  }
  store.Flush();
  return results;
}

}  // namespace quillmere
