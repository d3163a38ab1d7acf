#pragma once

#include <iosfwd>
#include <string>

#include "console_observer.h"

namespace quillmere {

// A run reported on `out` as JSON Lines (json_report.h): one object per
// file, in the order of the files.
class JsonObserver final : public SignalledObserver {
 public:
  explicit JsonObserver(std::ostream& out) : out_(out) {}

  void FileStarted(int, const std::string&, int) override {}
  void FileRestored(const std::string&) override {}
  void FileFailed(FileStage, const std::string&, const FileError&) override {}
  void FileFinished(int index, const std::string& path, const FileOutcome& outcome) override;
  void RunEnded(const RunCounters&, bool) override {}

 private:
  std::ostream& out_;
};

}  // namespace quillmere
