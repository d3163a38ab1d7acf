#include "folder_tree.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "folder_entries.h"
#include "folder_files.h"
#include "native_path.h"

namespace quillmere {
namespace fs = std::filesystem;
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

struct Entry {
  std::string name;
  bool folder = false;
};

class TreeWalk {
 public:
  TreeWalk(const TreeFilter& filter, const std::function<void(RunItem)>& take)
      : filter_(filter), take_(take) {}

  void Walk(const std::string& folder, const std::string& relative);

 private:
  bool Excluded(const std::string& relative) const {
    return std::any_of(filter_.exclude.begin(), filter_.exclude.end(),
                       [&](const GlobPattern& p) { return p.Matches(relative); });
  }
  bool Included(const std::string& relative) const {
    if (filter_.include.empty()) return IsTextOrHtmlName(relative);
    return std::any_of(filter_.include.begin(), filter_.include.end(),
                       [&](const GlobPattern& p) { return p.Matches(relative); });
  }
  bool Listed(const std::string& folder, std::vector<Entry>& entries);
  bool TakesLink(const std::string& path) const;

  const TreeFilter& filter_;
  const std::function<void(RunItem)>& take_;
  std::set<fs::path> ancestors_;  // with followLinks: the folders being walked, resolved
};

std::string Joined(const std::string& folder, const std::string& name) {
  const bool endsInSeparator =
      !folder.empty() && (folder.back() == '/' || folder.back() == kSeparator);
  return endsInSeparator ? folder + name : folder + kSeparator + name;
}

// With followLinks, whether a link to a folder leads out of the folders
// being walked.
bool TreeWalk::TakesLink(const std::string& path) const {
  if (!filter_.followLinks) return false;
  std::error_code error;
  const fs::path target = fs::canonical(NativePath(path), error);
  return !error && !ancestors_.contains(target);
}

bool TreeWalk::Listed(const std::string& folder, std::vector<Entry>& entries) {
  Result<std::vector<FolderEntry>> read = ReadFolder(folder);
  if (!read.has_value()) {
    take_({folder, read.error()});
    return false;
  }
  for (FolderEntry& entry : *read) {
    if (!entry.validName) {
      take_({Joined(folder, "?"),
             FileError{FileProblem::kNotFound, "a name that is no valid Unicode"}});
      continue;
    }
    const bool link = entry.kind == EntryKind::kLinkToFolder;
    if (link && !TakesLink(Joined(folder, entry.name))) continue;
    entries.push_back({std::move(entry.name), link || entry.kind == EntryKind::kFolder});
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return true;
}

void TreeWalk::Walk(const std::string& folder, const std::string& relative) {
  std::error_code error;
  const fs::path resolved =
      filter_.followLinks ? fs::canonical(NativePath(folder), error) : fs::path();
  if (filter_.followLinks) ancestors_.insert(resolved);
  std::vector<Entry> entries;
  if (Listed(folder, entries)) {
    for (const Entry& entry : entries) {
      const std::string path = Joined(folder, entry.name);
      const std::string inTree = relative.empty() ? entry.name : relative + '/' + entry.name;
      if (Excluded(inTree)) continue;
      if (entry.folder) {
        Walk(path, inTree);
      } else if (Included(inTree)) {
        take_({path, std::nullopt});
      }
    }
  }
  if (filter_.followLinks) ancestors_.erase(resolved);
}

}  // namespace

void WalkTree(const std::string& folder, const TreeFilter& filter,
              const std::function<void(RunItem)>& take) {
  TreeWalk(filter, take).Walk(folder, "");
}

void ListTree(const std::string& folder, const TreeFilter& filter, std::vector<RunItem>& items) {
  WalkTree(folder, filter, [&items](RunItem item) { items.push_back(std::move(item)); });
}

}  // namespace quillmere
