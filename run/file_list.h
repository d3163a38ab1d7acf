#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quillmere {

// The list of files the next run cleans: newest at the top, no two
// byte-identical. A window's list control only shows it.
class FileList {
 public:
  FileList() = default;
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  // Puts the path at the top unless a byte-identical one is listed; whether
  // it did.
  bool Add(const std::string& path);
  // Takes these paths off the list, in one walk over it.
  void Remove(const std::vector<std::string>& paths);
  void Clear();

  int size() const { return static_cast<int>(paths_.size()); }
  // The path at `index`, 0 being the top.
  const std::string& at(int index) const { return paths_.at(static_cast<std::size_t>(index)); }
  // Every path from the top: the order a run takes them in.
  std::vector<std::string> FromTheTop() const { return {paths_.begin(), paths_.end()}; }

 private:
  std::deque<std::string> paths_;
  // Views of the paths above; a deque keeps its elements in place when it
  // grows at either end.
  std::unordered_set<std::string_view> listed_;
};

}  // namespace quillmere
