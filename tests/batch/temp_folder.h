#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quillmere::test {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::string& path() const { return path_; }
  // The full path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
struct stat StatOf(const std::string& path);
struct stat LstatOf(const std::string& path);

}  // namespace quillmere::test
