#pragma once

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

}  // namespace quillmere::test
