#pragma once

#include <string>

namespace quillmere::on_windows {

// The form of a "\\?\" path that people write: "C:\folder\name" for
// "\\?\C:\folder\name" and "\\server\share\name" for
// "\\?\UNC\server\share\name". A path that the shorter form would not reach
// the same way stays as it is: one of MAX_PATH or more, a drive's root, or
// one with a name that ends in a dot or a space or is a device's (NUL, COM1).
std::wstring PlainPath(const std::wstring& path);

}  // namespace quillmere::on_windows
