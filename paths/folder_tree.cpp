#include "folder_tree.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

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

FileError ErrorOf(const std::error_code& code) {
  if (code == std::errc::permission_denied) return FileError{FileProblem::kNoPermission, ""};
  if (code == std::errc::no_such_file_or_directory) return FileError{FileProblem::kNotFound, ""};
  return FileError{FileProblem::kSystemError, code.message()};
}

struct Entry {
  std::string name;
  fs::path path;
  bool folder = false;
};

class TreeWalk {
 public:
  TreeWalk(const TreeFilter& filter, std::vector<RunItem>& items)
      : filter_(filter), items_(items) {}

  void Walk(const fs::path& folder, const std::string& shown, const std::string& relative);

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
  bool Listed(const fs::path& folder, const std::string& shown, std::vector<Entry>& entries);
  bool TakesFolder(const fs::directory_entry& entry, std::error_code& error);

  const TreeFilter& filter_;
  std::vector<RunItem>& items_;
  std::set<fs::path> ancestors_;  // with followLinks: the folders being walked, resolved
};

// Whether the entry is a folder to walk: a folder, or with followLinks a
// link to one that does not lead back into the folders being walked.
bool TreeWalk::TakesFolder(const fs::directory_entry& entry, std::error_code& error) {
  if (!entry.is_symlink(error)) return entry.is_directory(error);
  if (!filter_.followLinks || !entry.is_directory(error)) return false;
  const fs::path target = fs::canonical(entry.path(), error);
  return !error && !ancestors_.contains(target);
}

bool TreeWalk::Listed(const fs::path& folder, const std::string& shown,
                      std::vector<Entry>& entries) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
    std::error_code kindError;
    const bool isFolder = TakesFolder(*it, kindError);
    if (!isFolder && it->is_symlink(kindError) && it->is_directory(kindError)) continue;
    const std::optional<std::string> name = PathBytes(it->path().filename());
    if (!name) {
      items_.push_back({shown + kSeparator + "?",
                        FileError{FileProblem::kNotFound, "a name that is no valid Unicode"}});
      continue;
    }
    entries.push_back({*name, it->path(), isFolder});
  }
  if (error) {
    items_.push_back({shown, ErrorOf(error)});
    return false;
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return true;
}

void TreeWalk::Walk(const fs::path& folder, const std::string& shown, const std::string& relative) {
  std::error_code error;
  const fs::path resolved = filter_.followLinks ? fs::canonical(folder, error) : fs::path();
  if (filter_.followLinks) ancestors_.insert(resolved);
  std::vector<Entry> entries;
  if (Listed(folder, shown, entries)) {
    const bool endsInSeparator =
        !shown.empty() && (shown.back() == '/' || shown.back() == kSeparator);
    for (const Entry& entry : entries) {
      const std::string path =
          endsInSeparator ? shown + entry.name : shown + kSeparator + entry.name;
      const std::string inTree = relative.empty() ? entry.name : relative + '/' + entry.name;
      if (Excluded(inTree)) continue;
      if (entry.folder) {
        Walk(entry.path, path, inTree);
      } else if (Included(inTree)) {
        items_.push_back({path, std::nullopt});
      }
    }
  }
  if (filter_.followLinks) ancestors_.erase(resolved);
}

}  // namespace

void ListTree(const std::string& folder, const TreeFilter& filter, std::vector<RunItem>& items) {
  TreeWalk(filter, items).Walk(NativePath(folder), folder, "");
}

}  // namespace quillmere
