#pragma once

#include <optional>
#include <string>

#include "cleaning_options.h"

namespace quillmere {

// A rules file: one cleaning option of the command line per line, without
// its dashes, and its texts, e.g.
//
//   # the site's cleanup
//   pda
//   replace Colour Color
//   remove-block "<div class=\"ad\">" "</div>"
//   remove-text "\tTODO\n"
//   replace-regex "<span[^>]*>" "<span>"
//
// Words are separated by spaces or tabs. A text in double quotes may hold
// spaces and these escapes: \" \\ \t \n \r and \xHH (any byte); a text
// without quotes is taken as it stands. A line whose first character other than
// a blank is '#' is a comment; blank lines are passed over; a CR before the line end is
// dropped. Rules apply as if given on the command line where --rules stands.

// Applies the rules in `text` to `options`. The first bad line's error comes
// back as "NAME:LINE: reason".
std::optional<std::string> ApplyRules(const std::string& text, const std::string& name,
                                      CleaningOptions& options);

// Reads the rules file at `path` (bytes) and applies it.
std::optional<std::string> ApplyRulesFile(const std::string& path, CleaningOptions& options);

}  // namespace quillmere
