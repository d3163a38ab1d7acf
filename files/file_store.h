#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "file_error.h"
#include "file_outcome.h"

namespace quillmere {

// The largest file a load accepts: 1 GiB. A larger file is refused as a load
// failure rather than risking the memory of the whole process.
inline constexpr std::uint64_t kMaxLoadSize = std::uint64_t{1} << 30;

// Which file a path reached: the same key under two names is the same file.
// The birth tells a file from a later one that got the same number after it
// was deleted; 0 where the system does not record one.
struct FileKey {
  std::uint64_t device = 0;
  std::uint64_t id = 0;
  std::uint64_t birth = 0;  // time of creation in the system's ticks

  bool operator==(const FileKey&) const = default;
};

struct FileKeyHash {
  std::size_t operator()(const FileKey& key) const {
    return std::hash<std::uint64_t>()(
        (key.device * 0x9E3779B97F4A7C15ull ^ key.id) * 0xC2B2AE3D27D4EB4Full ^ key.birth);
  }
};

// A moment in a file's life, as the system records it: seconds and
// nanoseconds since the system's epoch.
struct Timestamp {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;

  bool operator==(const Timestamp&) const = default;
};

// What undoing a change to a file needs to know of it and to put back.
struct FileStamp {
  std::uint64_t size = 0;
  Timestamp accessed;
  Timestamp modified;
  std::uint32_t mode = 0;      // permission bits, or attribute flags on Windows
  std::optional<FileKey> key;  // the file's identity, where the store tells it
};

struct LoadedFile {
  std::optional<FileError> error;  // nothing when the file was read
  std::string text;
  FileKey key;
  // The file's content was first put back from the recovery copy that an
  // interrupted rewrite left (by Peek: would be put back first).
  bool restored = false;
  // What the load noticed that is no failure: recovery copies passed over.
  FileNotes notes;
  // The file's size, times and mode as found before it was read, where the
  // store tells them: what an undo puts back.
  std::optional<FileStamp> stamp;

  bool ok() const { return !error.has_value(); }
};

// Reads and writes whole files by path. A load that succeeds gives the file's
// whole content, byte for byte (whether it is text is for its decoding to
// say); a save either puts the new content in
// the file's place entirely or leaves the file as it was (or, where a crash
// interrupts a rewrite in place, recoverable by the next load).
class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual LoadedFile Load(const std::string& path) = 0;
  // What Load would give, writing, restoring and removing nothing: where Load
  // would first put an interrupted rewrite's old content back, the text is
  // that content and `restored` is set. For previews and dry runs.
  virtual LoadedFile Peek(const std::string& path) = 0;
  // Nothing when the text was saved; otherwise why not.
  [[nodiscard]] virtual std::optional<FileError> Save(const std::string& path,
                                                      const std::string& text) = 0;
  // What Save would find wrong before writing anything, without writing.
  [[nodiscard]] virtual std::optional<FileError> CheckSave(const std::string& path) = 0;
  // The file's size, times and mode.
  [[nodiscard]] virtual std::optional<FileError> Stamp(const std::string& path,
                                                       FileStamp& stamp) = 0;
  // Gives the file these times and this mode back (its size is not touched).
  // Whether every Load tells the file's stamp as it was before it was read.
  virtual bool StampsLoads() { return false; }
  [[nodiscard]] virtual std::optional<FileError> Restamp(const std::string& path,
                                                         const FileStamp& stamp) = 0;
  // Which file the path reaches now, when the store can tell: a save by
  // rename gives the file a new identity.
  virtual std::optional<FileKey> KeyOf(const std::string& /*path*/) { return std::nullopt; }
  // Makes the saves so far durable where a store defers part of that work;
  // the batch run calls it when a run ends.
  virtual void Flush() {}

  // Called once a save held back is done: nothing when its text is durable
  // in the file's place, otherwise why not.
  using SaveDone = std::function<void(std::optional<FileError> error)>;
  // Saves as Save does, but a store may hold the save back to make it
  // durable together with others: `done` is called once the file is wholly
  // old or wholly new for good, at the latest by the next Commit. Until
  // then the caller holds no claim that the file is saved.
  virtual void SaveInBatch(const std::string& path, const std::string& text, SaveDone done) {
    done(Save(path, text));
  }
  // Whether the saves held back are as many, or as large, as one batch may
  // be: the caller should Commit before the next.
  virtual bool BatchFull() { return false; }
  // Finishes every save held back, calling their `done`.
  void Commit() { CommitAfter({}); }
  // Runs once a batch's new contents are flushed and before any of its
  // files is replaced: a layer makes its own writes durable meanwhile.
  using BeforeReplacing = std::function<void()>;
  // Commit, with `beforeReplacing` (if any) run at that point.
  virtual void CommitAfter(const BeforeReplacing& beforeReplacing) {
    if (beforeReplacing) beforeReplacing();
  }
};

// The store of the system the program runs on.
std::unique_ptr<FileStore> MakeSystemFileStore();

}  // namespace quillmere
