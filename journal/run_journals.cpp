#include "run_journals.h"

#include <algorithm>
#include <ctime>
#include <system_error>

#include "run_id.h"
#include "system_files.h"

namespace quillmere {
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMostBytes = std::uint64_t{2} << 30;
// Two runs that start at once may choose the same id; one of them takes
// the next.
constexpr int kIdAttempts = 16;

std::string BytesOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

RunJournals::RunJournals(fs::path folder, std::uint64_t byteLimit)
    : RunJournals(MakeSystemFileSystem(""), std::move(folder), byteLimit) {}

RunJournals::RunJournals(std::unique_ptr<FileSystem> fs, fs::path folder, std::uint64_t byteLimit)
    : fs_(std::move(fs)), path_(std::move(folder)), byteLimit_(byteLimit) {}

Result<std::unique_ptr<Folder>> RunJournals::Runs(bool create) {
  if (path_.empty()) return FileError{FileProblem::kNotFound, "no state folder"};
  return fs_->PrivateFolder(BytesOf(path_), create);
}

Result<std::vector<std::string>> RunJournals::RunIds(Folder& runs) {
  Result<std::vector<std::string>> names = runs.Names();
  if (!names.has_value()) return names;
  std::vector<std::string> ids;
  for (std::string& name : *names) {
    if (IsRunId(name)) ids.push_back(std::move(name));
  }
  std::sort(ids.begin(), ids.end(), RunBefore);
  return ids;
}

MaybeError RunJournals::RemoveRun(Folder& runs, const std::string& run) {
  Result<std::unique_ptr<Folder>> folder = runs.OpenFolder(run);
  if (!folder.has_value()) return folder.error();
  Result<std::vector<std::string>> names = (*folder)->Names();
  if (!names.has_value()) return names.error();
  for (const std::string& name : *names) {
    if (MaybeError error = (*folder)->Remove(name)) return error;
  }
  return runs.RemoveFolder(run);
}

std::uint64_t RunJournals::BytesUsed(Folder& runs) {
  std::uint64_t bytes = 0;
  Result<std::vector<std::string>> ids = RunIds(runs);
  if (!ids.has_value()) return 0;
  for (const std::string& id : *ids) {
    if (Result<std::unique_ptr<Folder>> folder = runs.OpenFolder(id); folder.has_value()) {
      bytes += RunFolder(id, std::move(*folder)).Size();
    }
  }
  return bytes;
}

std::vector<RunRecord> RunJournals::List() {
  std::vector<RunRecord> runs;
  Result<std::unique_ptr<Folder>> folder = Runs(false);
  if (!folder.has_value()) return runs;
  Result<std::vector<std::string>> ids = RunIds(**folder);
  if (!ids.has_value()) return runs;
  for (const std::string& id : *ids) {
    Result<std::unique_ptr<Folder>> opened = (*folder)->OpenFolder(id);
    if (!opened.has_value()) continue;
    RunFolder run(id, std::move(*opened));
    Result<std::int64_t> started = run.Started();
    Result<std::vector<JournalEntry>> entries = run.Entries();
    if (!started.has_value() || !entries.has_value()) continue;
    RunRecord record{id, *started, 0, 0, true};
    for (const JournalEntry& entry : *entries) {
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

Result<std::unique_ptr<RunFolder>> RunJournals::OpenRun(const std::string& run) {
  if (!IsRunId(run)) return FileError{FileProblem::kNotFound, run};
  Result<std::unique_ptr<Folder>> runs = Runs(false);
  if (!runs.has_value()) return runs.error();
  Result<std::unique_ptr<Folder>> folder = (*runs)->OpenFolder(run);
  if (!folder.has_value()) return folder.error();
  return std::make_unique<RunFolder>(run, std::move(*folder));
}

Result<std::unique_ptr<RunFolder>> RunJournals::StartRun() {
  used_.reset();  // other programs may have added or removed runs meanwhile
  Result<std::unique_ptr<Folder>> runs = Runs(true);
  if (!runs.has_value()) return runs.error();
  Result<std::vector<std::string>> ids = RunIds(**runs);
  if (!ids.has_value()) return ids.error();
  for (std::size_t old = 0; ids->size() - old >= static_cast<std::size_t>(kRunsKept); ++old) {
    // An old run that cannot be removed now is tried again at the next start.
    (void)RemoveRun(**runs, (*ids)[old]);
  }
  const std::int64_t now = std::time(nullptr);
  std::string newest = ids->empty() ? "" : ids->back();
  for (int attempt = 0; attempt < kIdAttempts; ++attempt) {
    const std::optional<std::string> id = NextRunId(LocalTimeText(now, "%Y%m%d-%H%M%S"), newest);
    if (!id) return FileError{FileProblem::kSystemError, "no run id is left after " + newest};
    Result<std::unique_ptr<Folder>> folder = (*runs)->MakeFolder(*id);
    if (!folder.has_value()) {
      // Taken by a run that started at the same moment: the next one.
      if ((*runs)->InfoOf(*id).has_value()) {
        newest = *id;
        continue;
      }
      return folder.error();
    }
    auto run = std::make_unique<RunFolder>(*id, std::move(*folder));
    if (MaybeError error = run->Begin(now)) return *error;
    return run;
  }
  return FileError{FileProblem::kSystemError, "other runs took every run id tried"};
}

bool RunJournals::MakeRoom(const std::string& run, std::uint64_t bytes) {
  // The common case, known room, needs no look at the runs folder.
  if (used_ && *used_ + bytes <= byteLimit_) return true;
  Result<std::unique_ptr<Folder>> runs = Runs(false);
  if (!runs.has_value()) return false;
  if (!used_) used_ = BytesUsed(**runs);
  if (*used_ + bytes <= byteLimit_) return true;
  Result<std::vector<std::string>> ids = RunIds(**runs);
  if (!ids.has_value()) return false;
  for (const std::string& id : *ids) {
    if (*used_ + bytes <= byteLimit_) return true;
    if (id == run) continue;
    std::uint64_t freed = 0;
    if (Result<std::unique_ptr<Folder>> folder = (*runs)->OpenFolder(id); folder.has_value()) {
      freed = RunFolder(id, std::move(*folder)).Size();
    }
    if (!RemoveRun(**runs, id)) *used_ -= std::min(*used_, freed);
  }
  return *used_ + bytes <= byteLimit_;
}

void RunJournals::Added(std::uint64_t bytes) {
  if (used_) *used_ += bytes;
}

void RunJournals::Removed(std::uint64_t bytes) {
  if (used_) *used_ -= std::min(*used_, bytes);
}

MaybeError RunJournals::Forget(const std::string& run) {
  if (!IsRunId(run)) return FileError{FileProblem::kNotFound, run};
  Result<std::unique_ptr<Folder>> runs = Runs(false);
  if (!runs.has_value()) return runs.error();
  used_.reset();
  return RemoveRun(**runs, run);
}

MaybeError RunJournals::ForgetAll() {
  Result<std::unique_ptr<Folder>> runs = Runs(false);
  if (!runs.has_value()) {
    if (runs.error().missing()) return std::nullopt;
    return runs.error();
  }
  Result<std::vector<std::string>> ids = RunIds(**runs);
  if (!ids.has_value()) return ids.error();
  used_.reset();
  for (const std::string& id : *ids) {
    if (MaybeError error = RemoveRun(**runs, id)) return error;
  }
  return std::nullopt;
}

std::optional<RunRecord> LastRunToUndo(RunJournals& journals) {
  for (const RunRecord& run : journals.List()) {
    if (!run.undone && run.files > 0) return run;
  }
  return std::nullopt;
}

fs::path DefaultRunsFolder() {
  const std::string state = DefaultStateFolder();
  if (state.empty()) return {};
  return fs::path(std::u8string(state.begin(), state.end())) / "runs";
}

std::uint64_t DefaultJournalLimit(const fs::path& folder) {
  std::error_code error;
  fs::path existing = folder;
  while (!existing.empty() && !fs::exists(existing, error)) existing = existing.parent_path();
  const fs::space_info space = fs::space(existing.empty() ? fs::path(".") : existing, error);
  if (error) return 0;
  return std::min(kMostBytes, space.available / 10);
}

}  // namespace quillmere
