#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "batch_job.h"
#include "cli_options.h"

namespace quillmere {

// Reads a list of paths: one per line (a line feed ends it; a CR before it
// is dropped), or with `nulSeparated` each ended by a NUL byte,
// so that any name, line ends included, can be listed. Empty entries are
// passed over. The reason when the list cannot be used.
std::optional<std::string> ReadPathList(std::istream& in, bool nulSeparated,
                                        std::vector<std::string>& paths);

// The files a run cleans, in order: the FILEs, then the paths of the
// --files-from list (from `in` when it is "-"); with -r each folder among
// them stands for the files of its tree. A path given twice byte for byte
// is taken once, at its first place. The reason when the list cannot be
// read.
std::optional<std::string> GatherRunItems(const CliCommand& command, std::istream& in,
                                          std::vector<RunItem>& items);

}  // namespace quillmere
