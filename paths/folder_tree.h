#pragma once

#include <functional>
#include <string>
#include <vector>

#include "glob_pattern.h"
#include "run_item.h"

namespace quillmere {

// Which files of a folder tree a run takes.
struct TreeFilter {
  // Matched on the path relative to the folder given; none: the text and
  // HTML names (*.htm, *.html, *.txt in any letter case).
  std::vector<GlobPattern> include;
  // A file or folder matching one is left out, a folder with all it holds.
  std::vector<GlobPattern> exclude;
  // Enter links to folders (a link that leads back into its own path is
  // still not entered).
  bool followLinks = false;
};

// Hands the files under `folder` that the filter takes to `take` one by one,
// named from `folder` as given. The names of each folder are sorted byte by
// byte and a subfolder's files stand at its name's place, so the order is the
// same at every run. Links to files are taken; links to folders only with
// `followLinks`. A folder that cannot be read (no permission, a path too long
// for the system) becomes an item with its reason, and the walk goes on with
// the folders beside it.
void WalkTree(const std::string& folder, const TreeFilter& filter,
              const std::function<void(RunItem)>& take);

// The same, appended to `items`.
void ListTree(const std::string& folder, const TreeFilter& filter, std::vector<RunItem>& items);

}  // namespace quillmere
