#include "run_items.h"

#include <fstream>
#include <istream>
#include <iterator>
#include <unordered_set>

#include "folder_files.h"
#include "folder_tree.h"
#include "native_path.h"
#include "wildcards.h"

namespace quillmere {
namespace {

#ifdef _WIN32
constexpr bool kFoldGlobCase = true;  // Windows names ignore letter case
#else
constexpr bool kFoldGlobCase = false;
#endif

TreeFilter FilterOf(const CliCommand& command) {
  TreeFilter filter;
  for (const std::string& glob : command.include) filter.include.emplace_back(glob, kFoldGlobCase);
  for (const std::string& glob : command.exclude) filter.exclude.emplace_back(glob, kFoldGlobCase);
  filter.followLinks = command.follow;
  return filter;
}

std::optional<std::string> ReadListFile(const CliCommand& command, std::istream& in,
                                        std::vector<std::string>& paths) {
  const std::string& name = *command.filesFrom;
  if (name == "-") return ReadPathList(in, command.nulSeparated, paths);
  std::ifstream file(NativePath(name), std::ios::binary);
  if (!file) return "--files-from " + name + ": cannot be read";
  return ReadPathList(file, command.nulSeparated, paths);
}

}  // namespace

std::optional<std::string> ReadPathList(std::istream& in, bool nulSeparated,
                                        std::vector<std::string>& paths) {
  const char end = nulSeparated ? '\0' : '\n';
  int number = 0;
  for (std::string path; std::getline(in, path, end);) {
    ++number;
    // A list written on Windows ends its lines in CR LF.
    if (!nulSeparated && !path.empty() && path.back() == '\r') path.pop_back();
    if (!nulSeparated && path.find('\0') != std::string::npos) {
      return "--files-from: line " + std::to_string(number) +
             " holds a NUL byte; a NUL-separated list needs -0";
    }
    if (!path.empty()) paths.push_back(std::move(path));
  }
  if (in.bad()) return "--files-from: the list cannot be read";
  return std::nullopt;
}

std::optional<std::string> GatherRunItems(const CliCommand& command, std::istream& in,
                                          std::vector<RunItem>& items) {
  // The arguments, a pattern among them as the files it names or as the
  // error that it names none, in their order; then the listed paths.
  std::vector<RunItem> given;
  for (const std::string& argument : command.files) {
    Result<std::vector<std::string>> named = FilesNamedBy(argument);
    if (!named.has_value()) {
      given.push_back({argument, named.error()});
      continue;
    }
    for (std::string& path : *named) given.push_back({std::move(path), std::nullopt});
  }
  if (command.filesFrom) {
    std::vector<std::string> listed;
    if (auto error = ReadListFile(command, in, listed)) return error;
    for (std::string& path : listed) given.push_back({std::move(path), std::nullopt});
  }
  const TreeFilter filter = FilterOf(command);
  std::unordered_set<std::string> seen;
  std::vector<RunItem> found;
  for (RunItem& item : given) {
    found.clear();
    if (!item.error && command.recursive && IsFolder(item.path)) {
      ListTree(item.path, filter, found);
    } else {
      found.push_back(std::move(item));
    }
    for (RunItem& each : found) {
      if (seen.insert(each.path).second) items.push_back(std::move(each));
    }
  }
  return std::nullopt;
}

}  // namespace quillmere
