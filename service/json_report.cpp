#include "json_report.h"

#include "json_bytes.h"
#include "texts.h"

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

std::string JsonFileLine(const std::string& path, const FileOutcome& outcome) {
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
  if (!outcome.encoding.empty()) line["encoding"] = outcome.encoding;
  if (outcome.restored) line["restored"] = true;
  for (const FileNote& note : outcome.notes) {
    if (note.kind == FileNote::Kind::kNoUndoCopy) {
      line["no_undo_copy"] = true;
      PutBytes(line, "no_undo_copy_reason", ReasonText(note.error));
    }
    if (note.kind == FileNote::Kind::kTimesNotKept) {
      PutBytes(line, "times_not_kept", ReasonText(note.error));
    }
    if (note.kind == FileNote::Kind::kIgnoredCopy) {
      Json copy;
      PutBytes(copy, "path", note.text);
      PutBytes(copy, "reason", note.error.detail);
      line["ignored_copies"].push_back(std::move(copy));
    }
    if (note.kind == FileNote::Kind::kRuleNotRepresentable) {
      PutBytes(line, "rule_text_left_out", texts::kRuleLeftOutDetails + note.text);
    }
  }
  return JsonLine(line);
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
