#include "json_report.h"

#include <ostream>

#include "json_bytes.h"

namespace quillmere {
namespace {

const char* ResultName(FileOutcome::Result result) {
  switch (result) {
    case FileOutcome::Result::kChanged:
      return "changed";
    case FileOutcome::Result::kUnchanged:
      return "unchanged";
    case FileOutcome::Result::kFailed:
      break;
  }
  return "error";
}

}  // namespace

const char* ProblemName(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNotFound:
      return "not_found";
    case FileProblem::kNotRegularFile:
      return "not_regular_file";
    case FileProblem::kHoldsNulByte:
      return "holds_nul_byte";
    case FileProblem::kTooLarge:
      return "too_large";
    case FileProblem::kNoPermission:
      return "no_permission";
    case FileProblem::kReadOnly:
      return "read_only";
    case FileProblem::kLocked:
      return "locked";
    case FileProblem::kChanged:
      return "changed";
    case FileProblem::kForeignLink:
      return "foreign_link";
    case FileProblem::kDiskFull:
      return "disk_full";
    case FileProblem::kOutOfMemory:
      return "out_of_memory";
    case FileProblem::kSystemError:
      break;
  }
  return "system_error";
}

void JsonObserver::FileFinished(int, const std::string& path, const FileOutcome& outcome) {
  Json line;
  line["type"] = "file";
  PutBytes(line, "path", path);
  line["result"] = ResultName(outcome.result);
  if (outcome.result == FileOutcome::Result::kFailed) {
    line["stage"] = outcome.failedAt == FileStage::kOpen ? "open" : "save";
    line["kind"] = ProblemName(outcome.error.problem);
    PutBytes(line, "reason", ReasonText(outcome.error));
  }
  if (outcome.read) {
    line["bytes_before"] = outcome.bytesBefore;
    line["bytes_after"] = outcome.bytesAfter;
  }
  if (outcome.restored) line["restored"] = true;
  for (const FileNote& note : outcome.notes) {
    if (note.kind == FileNote::Kind::kNoUndoCopy) line["no_undo_copy"] = true;
    if (note.kind == FileNote::Kind::kTimesNotKept) {
      PutBytes(line, "times_not_kept", ReasonText(note.error));
    }
  }
  out_ << JsonLine(line);
}

std::string JsonSummary(const RunCounters& counters, bool dryRun, int stoppedBy) {
  Json line;
  line["type"] = "summary";
  line["files"] = counters.fileCount;
  line["changed"] = counters.replacedCount;
  line["errors"] = counters.errorCount;
  line["restored"] = counters.restoredCount;
  line["dry_run"] = dryRun;
  line["stopped_by_signal"] = stoppedBy;
  return JsonLine(line);
}

}  // namespace quillmere
