#pragma once

#include <string>
#include <string_view>

namespace quillmere::on_windows {

// The form of a "\\?\" path that people write: "C:\folder\name" for
// "\\?\C:\folder\name" and "\\server\share\name" for
// "\\?\UNC\server\share\name". A path that the shorter form would not reach
// the same way stays as it is: one of MAX_PATH or more, a drive's root, or
// one with a name that ends in a dot or a space or is a device's (NUL, COM1).
std::wstring PlainPath(const std::wstring& path);

// The form of a path that reaches its item whatever its length: a path whose
// full form is too long for the plain calls (MAX_PATH less the room a folder
// needs for its names) becomes "\\?\C:\..." or "\\?\UNC\server\share\...",
// made absolute and with "." and ".." resolved first, as the prefix turns
// that off. Shorter paths, and paths already in a device form, stay as
// they are.
std::wstring SystemPath(const std::wstring& path);

// `name` in `folder`, in the form SystemPath gives.
std::wstring JoinedPath(const std::wstring& folder, std::wstring_view name);

}  // namespace quillmere::on_windows
