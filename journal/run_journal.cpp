#include "run_journal.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <system_error>

#include "file_content.h"
#include "system_files.h"

namespace quillmere {
namespace fs = std::filesystem;

namespace {

// Old contents up to this size go into the run's one file of small contents.
constexpr std::size_t kPackedLimit = std::size_t{1} << 20;

// The path named by `bytes`, as the file system library takes it.
fs::path FsPath(const std::string& bytes) {
  return fs::path(std::u8string(bytes.begin(), bytes.end()));
}

std::string BytesOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Absolute(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(FsPath(path), error);
  return error ? path : BytesOf(absolute);
}

}  // namespace

FileError JournalFull() {
  return FileError{FileProblem::kDiskFull, "the undo journal has no room for it"};
}

std::optional<std::string> RunJournal::run() const {
  const std::lock_guard lock(mutex_);
  if (!folder_) return std::nullopt;
  return folder_->id();
}

Result<RunFolder*> RunJournal::Folder() {
  if (!started_) {
    started_ = true;
    Result<std::unique_ptr<RunFolder>> started = journals_.StartRun();
    if (started.has_value()) {
      folder_ = std::move(*started);
    } else {
      startError_ = started.error();
    }
  }
  if (!folder_) return *startError_;
  return folder_.get();
}

Result<int> RunJournal::NewEntry() {
  const std::lock_guard lock(mutex_);
  Result<RunFolder*> folder = Folder();
  if (!folder.has_value()) return folder.error();
  return ++entries_;
}

Result<std::uint64_t> RunJournal::PackCopy(std::string_view content) {
  const std::lock_guard lock(mutex_);
  Result<RunFolder*> folder = Folder();
  if (!folder.has_value()) return folder.error();
  if (!journals_.MakeRoom((*folder)->id(), copying_ + content.size())) return JournalFull();
  // Handed to the system before the file is replaced, so that a run killed
  // after the save still has it.
  Result<std::uint64_t> at = (*folder)->Pack(content);
  Wrote();
  if (at.has_value()) journals_.Added(content.size());
  return at;
}

MaybeError RunJournal::KeepCopy(int number, const std::string& path, std::uint64_t size) {
  RunFolder* folder = nullptr;
  {
    // Room for this copy and for those other workers are making.
    const std::lock_guard lock(mutex_);
    Result<RunFolder*> started = Folder();
    if (!started.has_value()) return started.error();
    folder = *started;
    if (!journals_.MakeRoom(folder->id(), copying_ + size)) return JournalFull();
    copying_ += size;
  }
  MaybeError error;
  std::unique_ptr<FileSystem> files = MakeSystemFileSystem("");
  Result<Location> where = files->Locate(path);
  Result<std::unique_ptr<OpenFile>> source =
      where.has_value() ? where->folder->Open(where->name, Access::kRead) : where.error();
  error = source.has_value() ? folder->Keep(number, **source, size) : MaybeError(source.error());
  const std::lock_guard lock(mutex_);
  copying_ -= size;
  Wrote();
  if (!error) journals_.Added(size);
  return error;
}

void RunJournal::DropCopy(int number) {
  const std::lock_guard lock(mutex_);
  if (folder_) folder_->Drop(number);
}

MaybeError RunJournal::Record(const JournalEntry& entry) {
  const std::lock_guard lock(mutex_);
  if (!folder_) return startError_;
  const std::string line = EntryLine(entry);
  // Each line is handed to the system at once: a run killed later keeps it.
  Wrote();
  if (MaybeError error = folder_->Append(line)) return error;
  journals_.Added(line.size());
  return std::nullopt;
}

void RunJournal::TakeBack(int number) {
  const std::lock_guard lock(mutex_);
  // Best done: the failed save's own error is the one reported.
  if (folder_) (void)folder_->Append(TakeBackLine(number));
  Wrote();
}

MaybeError RunJournal::Sync() {
  std::unique_lock lock(mutex_);
  const std::uint64_t wanted = written_;
  const auto covering = [&] { return !flushing_.empty() && *flushing_.rbegin() >= wanted; };
  synced_.wait(lock, [&] { return durable_ >= wanted || !folder_ || !covering(); });
  if (durable_ >= wanted || !folder_) return std::nullopt;
  // No flush going on covers these writes: this one starts beside them.
  const std::uint64_t covered = written_;
  const auto mine = flushing_.insert(covered);
  const std::vector<std::shared_ptr<OpenFile>> files = folder_->OpenFiles();
  lock.unlock();
  // Flushed without the lock: the other workers go on with their entries
  // meanwhile.
  MaybeError error;
  for (const std::shared_ptr<OpenFile>& file : files) {
    if ((error = file->Sync())) break;
  }
  lock.lock();
  if (!error && folder_) error = folder_->SyncNames();
  flushing_.erase(mine);
  if (!error) durable_ = std::max(durable_, covered);
  synced_.notify_all();
  return error;
}

void RunJournal::Finish() {
  const std::lock_guard lock(mutex_);
  if (folder_) folder_->Close();
}

void RunJournal::Restart() {
  const std::lock_guard lock(mutex_);
  folder_.reset();
  startError_.reset();
  started_ = false;
  entries_ = 0;
}

JournaledFileStore::JournaledFileStore(FileStore& store, RunJournal& journal, NotKept notKept)
    : FileStoreLayer(store), journal_(journal), notKept_(std::move(notKept)) {}

JournaledFileStore::JournaledFileStore(FileStore& store, RunJournals& journals, NotKept notKept)
    : FileStoreLayer(store),
      ownJournal_(std::make_unique<RunJournal>(journals)),
      journal_(*ownJournal_),
      notKept_(std::move(notKept)) {}

LoadedFile JournaledFileStore::Load(const std::string& path) {
  stamps_.clear();
  // Taken before the file is read, so that its time of last access is the
  // one to put back: by the store as it loads, or else here.
  LoadedFile loaded = inner().Load(path);
  FileStamp before;
  if (loaded.stamp) {
    stamps_[path] = *loaded.stamp;
  } else if (!inner().Stamp(path, before)) {
    stamps_[path] = before;
  }
  loadedPath_ = path;
  loadedText_.reset();
  if (loaded.ok() && loaded.text.size() <= kPackedLimit) loadedText_ = loaded.text;
  return loaded;
}

MaybeError JournaledFileStore::KeepOldContent(const std::string& path, JournalEntry& entry) {
  // A small file's old content is the text it was loaded with: the save
  // fails if the file changed since.
  if (path == loadedPath_ && loadedText_ && loadedText_->size() == entry.before.size) {
    Result<std::uint64_t> at = journal_.PackCopy(*loadedText_);
    if (!at.has_value()) return at.error();
    entry.packedAt = *at;
    return std::nullopt;
  }
  return journal_.KeepCopy(entry.number, path, entry.before.size);
}

JournaledFileStore::Pending JournaledFileStore::Begin(const std::string& path,
                                                      const std::string& text) {
  Pending pending{path, {}, std::nullopt, false};
  JournalEntry& entry = pending.entry;
  entry.path = Absolute(path);
  entry.afterSize = text.size();
  entry.afterHash = ContentHash(text);
  // The stamp taken before the file was read keeps its time of last access.
  const auto early = stamps_.find(path);
  MaybeError& notKept = pending.notKept;
  if (early != stamps_.end()) {
    entry.before = early->second;
  } else {
    notKept = inner().Stamp(path, entry.before);
  }
  stamps_.clear();
  Result<int> number = notKept ? Result<int>(*notKept) : journal_.NewEntry();
  pending.numbered = number.has_value();
  if (number.has_value()) {
    entry.number = *number;
    notKept = KeepOldContent(path, entry);
  } else {
    notKept = number.error();
  }
  loadedText_.reset();
  entry.kept = !notKept;
  if (entry.kept) {
    entry.pending = true;
    notKept = journal_.Record(entry);
    entry.pending = false;
    entry.kept = !notKept;
  }
  return pending;
}

MaybeError JournaledFileStore::End(Pending& pending, MaybeError saved) {
  JournalEntry& entry = pending.entry;
  const std::string& path = pending.path;
  if (saved) {
    if (entry.kept) journal_.TakeBack(entry.number);
    if (entry.kept && !entry.packedAt) journal_.DropCopy(entry.number);
    return saved;
  }
  if (pending.notKept) {
    if (notKept_) notKept_(path, *pending.notKept);
    if (!pending.numbered) return std::nullopt;
  }
  FileStamp after;
  const bool stamped = !inner().Stamp(path, after);
  if (stamped) {
    entry.afterSize = after.size;
    entry.afterModified = after.modified;
    entry.afterMode = after.mode;
  }
  entry.afterKey = stamped && after.key ? after.key : inner().KeyOf(path);
  if (MaybeError error = journal_.Record(entry); error && entry.kept && notKept_) {
    notKept_(path, *error);
  }
  return std::nullopt;
}

std::optional<FileError> JournaledFileStore::Save(const std::string& path,
                                                  const std::string& text) {
  Pending pending = Begin(path, text);
  return End(pending, inner().Save(path, text));
}

void JournaledFileStore::SaveInBatch(const std::string& path, const std::string& text,
                                     SaveDone done) {
  Pending pending = Begin(path, text);
  inner().SaveInBatch(path, text,
                      [this, pending = std::move(pending), done = std::move(done)](
                          MaybeError saved) mutable { done(End(pending, std::move(saved))); });
}

void JournaledFileStore::CommitAfter(const BeforeReplacing& beforeReplacing) {
  // A journal that cannot be made durable still holds what a kill leaves;
  // the files' saves go on, as they do when no copy could be kept.
  const auto sync = [this] { (void)journal_.Sync(); };
  std::future<void> synced;
  try {
    synced = std::async(std::launch::async, sync);
  } catch (const std::system_error&) {
    sync();  // no thread to spare: flushed before the batch's files instead
  }
  inner().CommitAfter([&] {
    if (synced.valid()) synced.get();
    if (beforeReplacing) beforeReplacing();
  });
}

void JournaledFileStore::Flush() {
  // Saves still held back complete their entries before the files go.
  Commit();
  journal_.Finish();
  FileStoreLayer::Flush();
}

}  // namespace quillmere
