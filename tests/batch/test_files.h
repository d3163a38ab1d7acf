#pragma once

#include <string>
#include <vector>

namespace quillmere::test {

// Files for the tests of the file store, on whichever system they run.
// Paths are bytes as the store takes them.

// A fresh folder under the system's temporary folder, removed with its
// content (read-only files included) when the object goes.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::string& path() const { return path_; }
  // The full path of `name` inside the folder.
  std::string operator/(const std::string& name) const;
  // The names in the folder, hidden ones included, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

// How the system's store words a read-only file.
extern const char* const kReadOnlyDetail;

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
void MakeFolder(const std::string& path);
// Makes a chain of folders at `path` deeper than the system's path limit,
// which the temporary folder still takes away; false where the system has no
// such limit to reach.
bool MakeTooDeepFolder(const std::string& path);
void RemoveFile(const std::string& path);
// Moves `from` over `to`, as an editor that saves by rename does.
void MoveOver(const std::string& from, const std::string& to);
void MakeHardLink(const std::string& existing, const std::string& link);
// Takes every write permission away.
void MakeReadOnly(const std::string& path);
// Rewrites the content in place and puts the modification time back, as
// `cp -p` and `rsync --inplace -t` do.
void RewriteKeepingTimes(const std::string& path, const std::string& content);
// Makes the file one byte larger than the largest file that loads, sparse
// where the file system allows it.
void MakeLargerThanTheLoadLimit(const std::string& path);

// Another program holding the file the way that keeps others out of it:
// an exclusive lock, or an open with no sharing.
class OtherHolder {
 public:
  explicit OtherHolder(const std::string& path);
  OtherHolder(const OtherHolder&) = delete;
  OtherHolder& operator=(const OtherHolder&) = delete;
  ~OtherHolder();

 private:
  long long handle_;
};

}  // namespace quillmere::test
