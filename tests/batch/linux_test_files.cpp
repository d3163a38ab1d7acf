#include "linux_test_files.h"

#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "file_store.h"

namespace quillmere::test {
namespace {

void Check(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what);
}

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillmere-XXXXXX").string();
  Check(mkdtemp(pattern.data()) != nullptr, "mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
  // rm walks folder by folder, so it reaches past the path limit too.
  if (error) (void)std::system(("rm -rf -- '" + path_ + "'").c_str());
}

std::string TempFolder::operator/(const std::string& name) const {
  return path_ + "/" + name;
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  Check(static_cast<bool>(out.flush()), "cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Check(static_cast<bool>(in), "cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void MakeFolder(const std::string& path) {
  Check(::mkdir(path.c_str(), 0700) == 0, "cannot make " + path);
}

const char* const kReadOnlyDetail = "no write bit";

bool MakeTooDeepFolder(const std::string& path) {
  MakeFolder(path);
  int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string name(250, 'n');
  for (std::size_t depth = path.size(); folder >= 0 && depth <= PATH_MAX;
       depth += name.size() + 1) {
    Check(::mkdirat(folder, name.c_str(), 0700) == 0, "cannot make a folder under " + path);
    const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(folder);
    folder = next;
  }
  Check(folder >= 0, "cannot open a folder under " + path);
  ::close(folder);
  return true;
}

void RemoveFile(const std::string& path) {
  Check(::unlink(path.c_str()) == 0, "cannot remove " + path);
}

void MoveOver(const std::string& from, const std::string& to) {
  Check(::rename(from.c_str(), to.c_str()) == 0, "cannot move " + from);
}

void MakeHardLink(const std::string& existing, const std::string& link) {
  Check(::link(existing.c_str(), link.c_str()) == 0, "cannot link " + link);
}

void MakeReadOnly(const std::string& path) {
  Check(::chmod(path.c_str(), 0444) == 0, "cannot chmod " + path);
}

void RewriteKeepingTimes(const std::string& path, const std::string& content) {
  const struct stat before = StatOf(path);
  WriteFile(path, content);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  Check(::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0, "cannot set times of " + path);
}

void MakeLargerThanTheLoadLimit(const std::string& path) {
  WriteFile(path, "");
  Check(::truncate(path.c_str(), static_cast<off_t>(kMaxLoadSize) + 1) == 0, "cannot grow " + path);
}

OtherHolder::OtherHolder(const std::string& path) : handle_(::open(path.c_str(), O_RDONLY)) {
  Check(handle_ >= 0 && ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0,
        "cannot hold " + path);
}

OtherHolder::~OtherHolder() {
  ::close(static_cast<int>(handle_));
}

struct stat StatOf(const std::string& path) {
  struct stat status {};
  Check(::stat(path.c_str(), &status) == 0, "cannot stat " + path);
  return status;
}

struct stat LstatOf(const std::string& path) {
  struct stat status {};
  Check(::lstat(path.c_str(), &status) == 0, "cannot lstat " + path);
  return status;
}

int AsUser(uid_t user, gid_t group, const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    const gid_t groups[] = {group};
    const bool dropped = ::setgroups(1, groups) == 0 && ::setresgid(user, user, user) == 0 &&
                         ::setresuid(user, user, user) == 0;
    ::_exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace quillmere::test
