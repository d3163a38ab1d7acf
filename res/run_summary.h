#pragma once

#include <string>

namespace quillmere {

// The summary a run ends with: "OK. Files : 3, Replaced files : 1, Errors :
// 0", with a second line when files were restored.
std::string RunSummary(int files, int replaced, int errors, int restored);
// The same for a run STOP ended after `done` of its files: "Stopped. Files :
// 10, Done : 3, Replaced files : 3, Errors : 0".
std::string StoppedRunSummary(int files, int done, int replaced, int errors, int restored);

}  // namespace quillmere
