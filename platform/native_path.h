#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillmere {

// Paths as bytes, the way the stores take them (on Windows in UTF-8), and as
// the system's own paths.
std::filesystem::path NativePath(const std::string& bytes);
// Nothing when a name has no form in bytes (on Windows: a lone surrogate).
std::optional<std::string> PathBytes(const std::filesystem::path& path);

}  // namespace quillmere
