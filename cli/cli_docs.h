#pragma once

#include <string>
#include <vector>

namespace quillmere {

// The manual page and the shell completions of quillmere-cli, made at build
// time from the options' own table (OptionDocs) and the prose of --help, so
// that they offer exactly what the parser takes.

// One example of the manual page: what it does and its arguments.
struct CliExample {
  const char* what;
  std::vector<std::string> args;
  const char* shell;  // redirections or a pipe around it, "%" for the command
};
const std::vector<CliExample>& CliExamples();

std::string ManPage(const std::string& version);
std::string BashCompletion();
std::string ZshCompletion();
std::string FishCompletion();

}  // namespace quillmere
