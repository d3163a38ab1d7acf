#include "rules_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "group_options.h"
#include "native_path.h"

namespace quillmere {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the quoted text that starts at `at` (on its quote) into `word`;
// the reason when it is malformed.
std::optional<std::string> QuotedWord(const std::string& line, std::size_t& at, std::string& word) {
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\') {
      word += line[at];
      continue;
    }
    if (++at == line.size()) break;
    switch (line[at]) {
      case '"':
      case '\\':
        word += line[at];
        break;
      case 't':
        word += '\t';
        break;
      case 'n':
        word += '\n';
        break;
      case 'r':
        word += '\r';
        break;
      case 'x': {
        const int high = at + 1 < line.size() ? HexDigit(line[at + 1]) : -1;
        const int low = at + 2 < line.size() ? HexDigit(line[at + 2]) : -1;
        if (high < 0 || low < 0) return "\\x needs two hexadecimal digits";
        word += static_cast<char>(high * 16 + low);
        at += 2;
        break;
      }
      default:
        return std::string("unknown escape \\") + line[at] + " (use \\\\ for a backslash)";
    }
  }
  if (at >= line.size()) return "a quote is not closed";
  ++at;
  if (at < line.size() && !IsBlank(line[at])) return "a space must follow a closing quote";
  return std::nullopt;
}

// Splits a line into its words; the reason when it is malformed.
std::optional<std::string> Words(const std::string& line, std::vector<std::string>& words) {
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return std::nullopt;
    std::string word;
    if (line[at] == '"') {
      if (auto error = QuotedWord(line, at, word)) return error;
    } else {
      while (at < line.size() && !IsBlank(line[at])) word += line[at++];
    }
    words.push_back(std::move(word));
  }
}

std::optional<std::string> ApplyLine(const std::string& line, CleaningOptions& options) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos || line[first] == '#') return std::nullopt;
  if (line.find('\0') != std::string::npos) return "holds a NUL byte";
  std::vector<std::string> words;
  if (auto error = Words(line, words)) return error;
  const std::string& name = words.front();
  const auto given = static_cast<int>(words.size() - 1);
  if (const std::optional<int> count = PatternOptionTexts("--" + name)) {
    if (given != *count)
      return name + (*count == 1 ? " takes PATTERN" : " takes PATTERN REPLACEMENT");
    return ApplyPatternOption("--" + name, std::span(words).subspan(1), options, name);
  }
  const CleaningGroup* group = GroupOfSwitch("--" + name);
  if (group == nullptr || name.starts_with('-')) return "unknown rule \"" + name + "\"";
  if (given != group->textCount) {
    if (group->textCount == 0) return name + " takes no text";
    return name + " takes " + group->cliArguments;
  }
  return ApplyGroup(*group, std::span(words).subspan(1), options, name, "remove-text");
}

}  // namespace

std::optional<std::string> ApplyRules(const std::string& text, const std::string& name,
                                      CleaningOptions& options) {
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto error = ApplyLine(line, options)) {
      return name + ":" + std::to_string(number) + ": " + *error;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ApplyRulesFile(const std::string& path, CleaningOptions& options) {
  const std::filesystem::path file = NativePath(path);
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return path + ": a folder, not a rules file";
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    const bool exists = std::filesystem::exists(file, error);
    return path + ": " + (exists ? "cannot be read" : "not found");
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return path + ": cannot be read";
  return ApplyRules(text, path, options);
}

}  // namespace quillmere
