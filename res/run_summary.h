#pragma once

#include <string>

namespace quillmere {

// The summary a run ends with: "OK. Files : 3, Replaced files : 1, Errors :
// 0", with a second line when files were restored.
std::string RunSummary(int files, int replaced, int errors, int restored);

}  // namespace quillmere
