#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_system.h"

namespace quillmere::test {

// What a crash at a chosen moment throws: nothing after it runs but the
// closing of open files, as when the process is killed.
struct SimulatedCrash {};

// The primitives of the system the tests run on, except that a chosen
// primitive fails on its n-th use, the process "crashes" at its n-th call of
// any primitive, or an action runs just before a chosen call.
class FaultyFileSystem final : public FileSystem {
 public:
  enum class Op {
    kLocate,
    kOpen,
    kCreate,
    kInfoOf,
    kRemove,
    kFolderSync,
    kRecoveryFolder,
    kInfo,
    kReadAt,
    kWriteAt,
    kReserve,
    kTruncate,
    kSync,
    kReadAttributes,
    kWriteAttributes,
    kRenameTo,
  };

  explicit FaultyFileSystem(std::unique_ptr<FileSystem> real);

  // The `nth` (1-based) use of `op` from now, and `count` uses in all, fail
  // with `error`. A failing write puts the whole pages of its first half
  // through first, and a failing Reserve grows the file, as a partial
  // reservation can.
  void FailOn(Op op, int nth, FileError error, int count = 1);
  // The `nth` call of any primitive from now throws SimulatedCrash; 0 for
  // no crash.
  void CrashAt(int nth);
  // Runs `action` just before the `nth` use of `op` from now.
  void Before(Op op, int nth, std::function<void()> action);
  // Runs `action` just before the first use of `op` on the file `name`.
  void BeforeOn(Op op, const std::string& name, std::function<void()> action) {
    namedActions_[OpName(op) + " " + name] = std::move(action);
  }
  // Overwriting files takes fresh space, of which this much is left.
  void CopyOnWriteWithFreeSpace(std::uint64_t bytes) { freeSpace_ = bytes; }
  // Files are told to be on a device numbered this much higher, as after
  // their disk was mounted anew, and without a birth time, as a FUSE mount
  // tells them.
  void ShiftDevices(std::uint64_t shift) { deviceShift_ = shift; }
  // A file system whose change times show no change that its times of last
  // change do not: a change with those times put back goes unseen.
  void CoarseTimes() { coarseTimes_ = true; }
  int Calls() const { return calls_; }

  Result<Location> Locate(const std::string& path) override;
  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& path) override;
  Result<std::unique_ptr<Folder>> RecoveryFolder(bool create) override;
  Result<std::unique_ptr<Folder>> PrivateFolder(const std::string& path, bool create) override;

  // Counts a use of `op`, on the file or folder `what` when given; the
  // error it must fail with, if any.
  MaybeError Enter(Op op, const std::string& what = {});
  // The creations, writes, truncations and syncs so far, in order, each as
  // "WriteAt NAME" ("FolderSync folder" for a folder).
  const std::vector<std::string>& trace() const { return trace_; }
  // A file's information as this file system tells it.
  Result<FileInfo> Seen(Result<FileInfo> info) const;
  std::optional<std::uint64_t> freeSpace() const { return freeSpace_; }

 private:
  struct Planned {
    int use = 0;
    int count = 1;
    FileError error;
    std::function<void()> action;
  };

  static std::string OpName(Op op);

  std::unique_ptr<FileSystem> real_;
  std::vector<std::string> trace_;
  std::map<Op, int> uses_;
  std::map<Op, Planned> failures_;
  std::map<Op, Planned> actions_;
  std::map<std::string, std::function<void()>> namedActions_;
  int calls_ = 0;
  int crashAt_ = 0;
  std::optional<std::uint64_t> freeSpace_;
  std::uint64_t deviceShift_ = 0;
  bool coarseTimes_ = false;
};

}  // namespace quillmere::test
