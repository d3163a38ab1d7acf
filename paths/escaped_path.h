#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// A path on one line of a text file: control bytes, DEL and '%' as %XX, so
// that tabs and line ends in names cannot break the line.
std::string EscapedPath(std::string_view path);
// The path EscapedPath was given back.
std::string UnescapedPath(std::string_view text);

}  // namespace quillmere
