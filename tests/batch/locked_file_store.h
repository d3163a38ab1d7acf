#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "memory_file_store.h"

namespace quillmere::test {

// One worker's view of a memory store that all share, taking turns; a load
// waits a little, longer for some files, so that workers finish out of
// order.
class LockedFileStore final : public FileStore {
 public:
  LockedFileStore(MemoryFileStore& files, std::mutex& mutex) : files_(files), mutex_(mutex) {}

  LoadedFile Load(const std::string& path) override {
    std::this_thread::sleep_for(std::chrono::microseconds(path.size() % 3 * 400));
    const std::lock_guard lock(mutex_);
    return files_.Load(path);
  }
  LoadedFile Peek(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    return files_.Peek(path);
  }
  std::optional<FileError> Save(const std::string& path, const std::string& text) override {
    const std::lock_guard lock(mutex_);
    return files_.Save(path, text);
  }
  std::optional<FileError> CheckSave(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    return files_.CheckSave(path);
  }
  std::optional<FileError> Stamp(const std::string& path, FileStamp& stamp) override {
    const std::lock_guard lock(mutex_);
    return files_.Stamp(path, stamp);
  }
  std::optional<FileError> Restamp(const std::string& path, const FileStamp& stamp) override {
    const std::lock_guard lock(mutex_);
    return files_.Restamp(path, stamp);
  }
  std::optional<FileKey> KeyOf(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    return files_.KeyOf(path);
  }

 private:
  MemoryFileStore& files_;
  std::mutex& mutex_;
};

}  // namespace quillmere::test
