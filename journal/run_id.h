#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmere {

// A run's id: the local time it started, "20261207-135601", with "-2",
// "-3", ... after it for a run that started no later than the newest one
// (in the same second, or after the clock went back), so that ids sort as
// the runs were made whatever the clock did.
bool IsRunId(const std::string& text);
// Whether run `a` was made before run `b`.
bool RunBefore(const std::string& a, const std::string& b);
// The id of a run started at `now` ("%Y%m%d-%H%M%S" in local time) after
// `newest`, the newest run's id (empty when there is none). Nothing when
// no id is left after `newest` (more than a million runs in its second).
std::optional<std::string> NextRunId(const std::string& now, const std::string& newest);

// `seconds` since the epoch as local time, in strftime's `format`.
std::string LocalTimeText(std::int64_t seconds, const char* format);

}  // namespace quillmere
