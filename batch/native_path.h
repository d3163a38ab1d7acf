#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillmere {

// Paths as bytes, the way the stores take them (on Windows in the ANSI code
// page), and as the system's own paths.
std::filesystem::path NativePath(const std::string& bytes);
// Nothing when a name has no form in bytes (on Windows: no character of the
// ANSI code page).
std::optional<std::string> PathBytes(const std::filesystem::path& path);

}  // namespace quillmere
