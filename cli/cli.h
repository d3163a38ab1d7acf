#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// Exit statuses of quillmere-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a file error, or input that cannot be cleaned
inline constexpr int kExitUsage = 2;
// A run stopped by a signal exits with this plus the signal's number (130
// for Ctrl+C, 143 for SIGTERM).
inline constexpr int kExitSignalBase = 128;

// Turns a cleaning text as the arguments carry it into the bytes of the
// files' code page, or nothing when a character has no form there.
using ContentText = std::function<std::optional<std::string>(const std::string&)>;

// Runs quillmere-cli with the arguments after the program name. Standard
// input and output are binary streams. Where the arguments are in another
// encoding than the files' contents (UTF-8 on Windows), `toContent` converts
// the cleaning texts; without it they are taken as they stand.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const ContentText& toContent = {});

}  // namespace quillmere
