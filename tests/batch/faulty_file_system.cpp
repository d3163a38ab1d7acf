#include "faulty_file_system.h"

#include <utility>

namespace quillmere::test {
namespace {

using Op = FaultyFileSystem::Op;

constexpr std::size_t kPage = 4096;

template <typename T>
Result<T> Unless(MaybeError error, const std::function<Result<T>()>& call) {
  if (error) return *error;
  return call();
}

class FaultyFile final : public OpenFile {
 public:
  FaultyFile(FaultyFileSystem& faults, std::unique_ptr<OpenFile> real, std::string name)
      : faults_(faults), real_(std::move(real)), name_(std::move(name)) {}

  Result<FileInfo> Info() override {
    return Unless<FileInfo>(faults_.Enter(Op::kInfo), [&] { return faults_.Seen(real_->Info()); });
  }
  Result<std::size_t> ReadAt(char* buffer, std::size_t count, std::uint64_t offset) override {
    return Unless<std::size_t>(faults_.Enter(Op::kReadAt),
                               [&] { return real_->ReadAt(buffer, count, offset); });
  }
  MaybeError WriteAt(const char* data, std::size_t count, std::uint64_t offset) override {
    if (MaybeError error = faults_.Enter(Op::kWriteAt, name_)) {
      // The whole pages of its first half went through before the failure,
      // as the system moves a write a page at a time.
      (void)real_->WriteAt(data, count / 2 / kPage * kPage, offset);  // the fault is the error
      return error;
    }
    return real_->WriteAt(data, count, offset);
  }
  MaybeError Reserve(std::uint64_t length) override {
    if (MaybeError error = faults_.Enter(Op::kReserve)) {
      (void)real_->Truncate(length);  // the fault is the error
      return error;
    }
    return real_->Reserve(length);
  }
  MaybeError Truncate(std::uint64_t length) override {
    if (MaybeError error = faults_.Enter(Op::kTruncate, name_)) return error;
    return real_->Truncate(length);
  }
  MaybeError Sync() override {
    if (MaybeError error = faults_.Enter(Op::kSync, name_)) return error;
    return real_->Sync();
  }
  Result<FileAttributes> ReadAttributes() override {
    return Unless<FileAttributes>(faults_.Enter(Op::kReadAttributes),
                                  [&] { return real_->ReadAttributes(); });
  }
  Result<Ownership> Owner() override { return real_->Owner(); }
  void TakeOwnerOf(OpenFile& file) override { real_->TakeOwnerOf(file); }
  // No lease: an action a test runs during a save opens the file from the
  // same thread, and would wait for the lease's break time.
  bool HoldOthersBack() override { return false; }
  void LetOthersIn() override {}
  MaybeError WriteAttributes(const FileAttributes& attributes) override {
    if (MaybeError error = faults_.Enter(Op::kWriteAttributes)) return error;
    return real_->WriteAttributes(attributes);
  }
  MaybeError SetTimes(Timestamp accessed, Timestamp modified) override {
    return real_->SetTimes(accessed, modified);
  }
  MaybeError SetMode(std::uint32_t mode) override { return real_->SetMode(mode); }
  bool CopiesOnWrite() override { return faults_.freeSpace() || real_->CopiesOnWrite(); }
  Result<std::uint64_t> FreeSpace() override {
    if (faults_.freeSpace()) return *faults_.freeSpace();
    return real_->FreeSpace();
  }
  MaybeError RenameTo(const std::string& name) override {
    if (MaybeError error = faults_.Enter(Op::kRenameTo)) return error;
    return real_->RenameTo(name);
  }
  void AllowReplace() override { real_->AllowReplace(); }

 private:
  FaultyFileSystem& faults_;
  std::unique_ptr<OpenFile> real_;
  std::string name_;
};

Result<std::unique_ptr<OpenFile>> Wrapped(FaultyFileSystem& faults,
                                          Result<std::unique_ptr<OpenFile>> file,
                                          const std::string& name) {
  if (!file.has_value()) return file;
  return std::unique_ptr<OpenFile>(std::make_unique<FaultyFile>(faults, std::move(*file), name));
}

class FaultyFolder final : public Folder {
 public:
  FaultyFolder(FaultyFileSystem& faults, std::unique_ptr<Folder> real)
      : faults_(faults), real_(std::move(real)) {}

  Result<std::unique_ptr<OpenFile>> Open(const std::string& name, Access access) override {
    if (MaybeError error = faults_.Enter(Op::kOpen)) return *error;
    return Wrapped(faults_, real_->Open(name, access), name);
  }
  Result<std::unique_ptr<OpenFile>> Create(const std::string& name) override {
    if (MaybeError error = faults_.Enter(Op::kCreate, name)) return *error;
    return Wrapped(faults_, real_->Create(name), name);
  }
  Result<FileInfo> InfoOf(const std::string& name) override {
    return Unless<FileInfo>(faults_.Enter(Op::kInfoOf),
                            [&] { return faults_.Seen(real_->InfoOf(name)); });
  }
  Result<Ownership> OwnerOf(const std::string& name) override { return real_->OwnerOf(name); }
  Result<Ownership> Owner() override { return real_->Owner(); }
  MaybeError Remove(const std::string& name) override {
    if (MaybeError error = faults_.Enter(Op::kRemove)) return error;
    return real_->Remove(name);
  }
  Result<std::unique_ptr<Folder>> MakeFolder(const std::string& name) override;
  Result<std::unique_ptr<Folder>> OpenFolder(const std::string& name) override;
  MaybeError RemoveFolder(const std::string& name) override { return real_->RemoveFolder(name); }
  Result<std::vector<std::string>> Names() override { return real_->Names(); }
  MaybeError Sync() override {
    if (MaybeError error = faults_.Enter(Op::kFolderSync, "folder")) return error;
    return real_->Sync();
  }
  std::string Path() const override { return real_->Path(); }
  std::string PathOf(const std::string& name) const override { return real_->PathOf(name); }

 private:
  FaultyFileSystem& faults_;
  std::unique_ptr<Folder> real_;
};

Result<std::unique_ptr<Folder>> Wrapped(FaultyFileSystem& faults,
                                        Result<std::unique_ptr<Folder>> folder) {
  if (!folder.has_value()) return folder;
  return std::unique_ptr<Folder>(std::make_unique<FaultyFolder>(faults, std::move(*folder)));
}

Result<std::unique_ptr<Folder>> FaultyFolder::MakeFolder(const std::string& name) {
  return Wrapped(faults_, real_->MakeFolder(name));
}

Result<std::unique_ptr<Folder>> FaultyFolder::OpenFolder(const std::string& name) {
  return Wrapped(faults_, real_->OpenFolder(name));
}

}  // namespace

FaultyFileSystem::FaultyFileSystem(std::unique_ptr<FileSystem> real) : real_(std::move(real)) {}

void FaultyFileSystem::FailOn(Op op, int nth, FileError error, int count) {
  failures_[op] = {uses_[op] + nth, count, std::move(error), {}};
}

void FaultyFileSystem::CrashAt(int nth) {
  crashAt_ = calls_ + nth;
}

void FaultyFileSystem::Before(Op op, int nth, std::function<void()> action) {
  actions_[op] = {uses_[op] + nth, 1, {}, std::move(action)};
}

std::string FaultyFileSystem::OpName(Op op) {
  switch (op) {
    case Op::kCreate:
      return "Create";
    case Op::kFolderSync:
      return "FolderSync";
    case Op::kWriteAt:
      return "WriteAt";
    case Op::kTruncate:
      return "Truncate";
    case Op::kSync:
      return "Sync";
    default:
      return "Op" + std::to_string(static_cast<int>(op));
  }
}

Result<FileInfo> FaultyFileSystem::Seen(Result<FileInfo> info) const {
  if (!info.has_value()) return info;
  if (deviceShift_ != 0) {
    info->key.device += deviceShift_;
    info->key.birth = 0;
  }
  if (coarseTimes_) info->changed = info->modified;
  return info;
}

MaybeError FaultyFileSystem::Enter(Op op, const std::string& what) {
  if (!what.empty()) {
    trace_.push_back(OpName(op) + " " + what);
    if (const auto named = namedActions_.find(trace_.back()); named != namedActions_.end()) {
      const std::function<void()> action = std::move(named->second);
      namedActions_.erase(named);
      action();
    }
  }
  if (++calls_ == crashAt_) throw SimulatedCrash{};
  const int use = ++uses_[op];
  if (const auto action = actions_.find(op);
      action != actions_.end() && action->second.use == use) {
    action->second.action();
  }
  if (const auto failure = failures_.find(op); failure != failures_.end()) {
    const Planned& planned = failure->second;
    if (use >= planned.use && use < planned.use + planned.count) return planned.error;
  }
  return std::nullopt;
}

Result<Location> FaultyFileSystem::Locate(const std::string& path) {
  if (MaybeError error = Enter(Op::kLocate)) return *error;
  Result<Location> where = real_->Locate(path);
  if (!where.has_value()) return where;
  Result<std::unique_ptr<Folder>> folder = Wrapped(*this, std::move(where->folder));
  return Location{std::move(*folder), where->name};
}

Result<std::unique_ptr<Folder>> FaultyFileSystem::OpenFolder(const std::string& path) {
  return Wrapped(*this, real_->OpenFolder(path));
}

Result<std::unique_ptr<Folder>> FaultyFileSystem::PrivateFolder(const std::string& path,
                                                                bool create) {
  return Wrapped(*this, real_->PrivateFolder(path, create));
}

Result<std::unique_ptr<Folder>> FaultyFileSystem::RecoveryFolder(bool create) {
  if (MaybeError error = Enter(Op::kRecoveryFolder)) return *error;
  return Wrapped(*this, real_->RecoveryFolder(create));
}

}  // namespace quillmere::test
