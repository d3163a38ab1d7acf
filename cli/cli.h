#pragma once

#include <iosfwd>
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

// Runs quillmere-cli with the arguments after the program name. Standard
// input and output are binary streams; the cleaning texts are UTF-8 and are
// put into each file's encoding as it is cleaned.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace quillmere
