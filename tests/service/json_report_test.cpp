// The run's JSON report: one line per file with what became of it, and the
// summary.
#include "json_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(JsonReport, AFailedSaveWithItsNotes) {
  FileOutcome outcome;
  outcome.result = FileOutcome::Result::kFailed;
  outcome.failedAt = FileStage::kSave;
  outcome.error = FileError(FileProblem::kReadOnly, "file system");
  outcome.restored = true;
  outcome.read = true;
  outcome.bytesBefore = 12;
  outcome.bytesAfter = 9;
  outcome.encoding = "windows-1252";
  outcome.notes = {
      {FileNote::Kind::kNoUndoCopy, FileError(FileProblem::kDiskFull), ""},
      {FileNote::Kind::kTimesNotKept, FileError(FileProblem::kNoPermission), ""},
      {FileNote::Kind::kDiff, {}, "--- a\n+++ b\n"},  // for the console alone
      {FileNote::Kind::kIgnoredCopy, FileError(FileProblem::kChanged, "damaged"), "a.qm~"},
      {FileNote::Kind::kRuleNotRepresentable, {}, "windows-1252"},
  };
  EXPECT_EQ(JsonFileLine("caf\xE9.htm", outcome),
            R"({"type":"file","path_base64":"Y2Fm6S5odG0=","result":"error","stage":"save",)"
            R"j("kind":"read_only","reason":"read-only (file system)","bytes_before":12,)j"
            R"("bytes_after":9,"encoding":"windows-1252","restored":true,"no_undo_copy":true,)"
            R"("no_undo_copy_reason":"disk full","times_not_kept":"no permission",)"
            R"("ignored_copies":[{"path":"a.qm~","reason":"damaged"}],)"
            R"("rule_text_left_out":"rule text not representable in windows-1252"})"
            "\n");
}

TEST(JsonReport, AnUnreadFileHasNoSizes) {
  FileOutcome outcome;
  outcome.result = FileOutcome::Result::kFailed;
  outcome.error = FileError(FileProblem::kNotFound);
  EXPECT_EQ(JsonFileLine("b.htm", outcome),
            R"({"type":"file","path":"b.htm","result":"error","stage":"open",)"
            R"("kind":"not_found","reason":"not found"})"
            "\n");
}

TEST(JsonReport, Summary) {
  const RunCounters counters{
      .fileCount = 3, .replacedCount = 1, .errorCount = 1, .restoredCount = 2};
  EXPECT_EQ(JsonSummary(counters, true, 15),
            R"({"type":"summary","files":3,"changed":1,"errors":1,"restored":2,)"
            R"("dry_run":true,"stopped_by_signal":15})"
            "\n");
}

}  // namespace
}  // namespace quillmere
