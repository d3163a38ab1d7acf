#pragma once

#include <string>

namespace quillmere::test {

// Saves `text` over the file at `path`, which has another hard link so that
// it is rewritten in place, and stops the save as a kill would just before
// it cuts the file to length: the file holds the new text (and after it the
// old content's tail) and a recovery copy is left. The store keeps its
// private copies in `state`.
void LeaveInterruptedRewrite(const std::string& path, const std::string& state,
                             const std::string& text);

}  // namespace quillmere::test
