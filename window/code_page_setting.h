#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// The window's setting for the code page of older files (no byte order mark,
// not valid UTF-8). The empty name stands for the system's own legacy code
// page (platform/code_page.h), the setting's default.

// The names the window offers: the empty name first, then those of a fixed
// list of single-byte code pages that this system has, but its own.
std::vector<std::string> OfferedCodePages();

// A stored setting as the window uses it: an offered name as it is; anything
// else, which a stranger may have put in the file, is the default.
std::string CodePageFromStored(std::string_view stored);

// The setting kept in `folder` (the program's state folder), or the default
// when there is none or it is not readable or not valid.
std::string LoadCodePageSetting(const std::string& folder);

// Keeps `name` in `folder`, making the folder when it is missing. Why it
// could not be kept, or nothing.
std::optional<std::string> SaveCodePageSetting(const std::string& folder, const std::string& name);

}  // namespace quillmere
