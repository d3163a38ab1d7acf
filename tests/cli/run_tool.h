#pragma once

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace quillmere::test {

// quillmere-cli run in the test's own process: its exit status and what it
// wrote.
struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline CliResult RunTool(const std::vector<std::string>& args, const std::string& input = {}) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

// A diff with the times after its file names left out, for comparing.
inline std::string WithoutDiffTimes(const std::string& diff) {
  static const std::regex time(
      R"(^((?:---|\+\+\+) .*)\t\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{9} [+-]\d{4}$)");
  std::istringstream lines(diff);
  std::string out;
  for (std::string line; std::getline(lines, line);)
    out += std::regex_replace(line, time, "$1") + '\n';
  return out;
}

}  // namespace quillmere::test
