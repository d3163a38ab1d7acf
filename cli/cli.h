#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quillmere {

// Exit statuses of quillmere-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a file error, or input that cannot be cleaned
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// Runs quillmere-cli with the arguments after the program name. Standard
// input and output are binary streams.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace quillmere
