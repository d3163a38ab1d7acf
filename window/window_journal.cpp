#include "window_journal.h"

#include <utility>

namespace quillmere {

WindowJournal::WindowJournal(FileStore& files)
    : WindowJournal(files, DefaultRunsFolder(), DefaultJournalLimit(DefaultRunsFolder())) {}

WindowJournal::WindowJournal(FileStore& files, std::filesystem::path folder,
                             std::uint64_t byteLimit)
    : files_(files),
      journals_(std::move(folder), byteLimit),
      journaled_(files, journals_, [this](const std::string&) { ++notKept_; }) {}

void WindowJournal::StartRun() {
  journaled_.NewRun();
  notKept_ = 0;
}

std::vector<UndoneFile> WindowJournal::Undo(const std::string& run) {
  // Undo saves through the store itself: putting files back starts no run.
  return UndoRun(files_, journals_, run);
}

}  // namespace quillmere
