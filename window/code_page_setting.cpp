#include "code_page_setting.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "code_page.h"
#include "file_encoding.h"

namespace quillmere {
namespace {

constexpr std::array<const char*, 12> kCodePages{
    "windows-1252", "windows-1250", "windows-1251", "windows-1253", "windows-1254", "windows-1257",
    "ISO-8859-1",   "ISO-8859-2",   "ISO-8859-5",   "ISO-8859-7",   "ISO-8859-15",  "KOI8-R",
};

// No offered name is near this long; a longer file is not read further.
constexpr std::size_t kLongestStored = 64;

// Folder paths are UTF-8 on Windows and the system's bytes elsewhere, which
// a char8_t path keeps as they are.
std::filesystem::path SettingFile(const std::string& folder) {
  const std::u8string bytes(folder.begin(), folder.end());
  return std::filesystem::path(bytes) / "code-page";
}

}  // namespace

std::vector<std::string> OfferedCodePages() {
  std::vector<std::string> offered{""};
  // The system's own is offered once, as the default.
  const std::string systems = SystemLegacyCodePage();
  for (const char* name : kCodePages) {
    if (name != systems && !EncodingNameProblem(name, true)) offered.emplace_back(name);
  }
  return offered;
}

std::string CodePageFromStored(std::string_view stored) {
  while (!stored.empty() && (stored.back() == '\n' || stored.back() == '\r')) {
    stored.remove_suffix(1);
  }
  const std::vector<std::string> offered = OfferedCodePages();
  const bool known = std::find(offered.begin(), offered.end(), stored) != offered.end();
  return known ? std::string(stored) : std::string();
}

std::string LoadCodePageSetting(const std::string& folder) {
  if (folder.empty()) return {};
  // Only a plain file is opened: a pipe or device there would hang or flood
  // the start-up.
  const std::filesystem::path file = SettingFile(folder);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return {};
  std::ifstream in(file, std::ios::binary);
  std::string stored(kLongestStored + 1, '\0');
  in.read(stored.data(), static_cast<std::streamsize>(stored.size()));
  stored.resize(static_cast<std::size_t>(in.gcount()));
  if (stored.size() > kLongestStored) return {};
  return CodePageFromStored(stored);
}

std::optional<std::string> SaveCodePageSetting(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "no state folder";
  const std::filesystem::path file = SettingFile(folder);
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return folder + ": " + error.message();
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << name << '\n';
  out.close();
  if (!out) return folder + ": the file code-page cannot be written";
  return std::nullopt;
}

}  // namespace quillmere
