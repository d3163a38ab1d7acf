#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillmere {

// The largest file a load accepts: 1 GiB. A larger file is refused as a load
// failure rather than risking the memory of the whole process.
inline constexpr std::uint64_t kMaxLoadSize = std::uint64_t{1} << 30;

enum class LoadStatus {
  kOk,
  kFailed,  // missing, not a regular file, unreadable, NUL byte, too large, short read
};

struct LoadedFile {
  LoadStatus status = LoadStatus::kFailed;
  std::string text;
};

// Reads and writes whole files by path. A load that succeeds gives the file's
// whole content, which holds no NUL byte; a save either puts the new content in
// the file's place entirely or leaves the file as it was.
class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual LoadedFile Load(const std::string& path) = 0;
  virtual bool Save(const std::string& path, const std::string& text) = 0;
  // Makes the saves so far durable where a store defers part of that work;
  // the batch run calls it when a run ends.
  virtual void Flush() {}
};

// The store of the system the program runs on.
std::unique_ptr<FileStore> MakeSystemFileStore();

}  // namespace quillmere
