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

// Whether `text` is a time as a diff header gives it:
// "2026-12-08 16:33:12.123456789 +0000" (9 stands for any digit).
inline bool IsDiffTime(const std::string& text) {
  const std::string shape = "9999-99-99 99:99:99.999999999 +9999";
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == '9' ? !digit : (text[i] != shape[i] && !(shape[i] == '+' && text[i] == '-'))) {
      return false;
    }
  }
  return true;
}

// A diff with the times after its file names left out, for comparing.
inline std::string WithoutDiffTimes(const std::string& diff) {
  std::istringstream lines(diff);
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t tab = line.rfind('\t');
    const bool header = line.starts_with("--- ") || line.starts_with("+++ ");
    if (header && tab != std::string::npos && IsDiffTime(line.substr(tab + 1))) line.resize(tab);
    out += line + '\n';
  }
  return out;
}

}  // namespace quillmere::test
