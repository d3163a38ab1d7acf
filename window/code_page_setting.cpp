#include "code_page_setting.h"

#include <algorithm>
#include <array>
#include <memory>

#include "code_page.h"
#include "file_encoding.h"
#include "file_error.h"
#include "file_system.h"
#include "system_files.h"

namespace quillmere {
namespace {

constexpr std::array<const char*, 12> kCodePages{
    "windows-1252", "windows-1250", "windows-1251", "windows-1253", "windows-1254", "windows-1257",
    "ISO-8859-1",   "ISO-8859-2",   "ISO-8859-5",   "ISO-8859-7",   "ISO-8859-15",  "KOI8-R",
};

// No offered name is near this long; a longer file is not read further.
constexpr std::size_t kLongestStored = 64;

constexpr const char* kSettingName = "code-page";
constexpr const char* kNewSettingName = "code-page.new";

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
  const std::unique_ptr<FileSystem> fs = MakeSystemFileSystem("");
  // Only the user's own folder and file, closed to others, are believed.
  Result<std::unique_ptr<Folder>> state = fs->PrivateFolder(folder, false);
  if (!state.has_value()) return {};
  Result<std::unique_ptr<OpenFile>> file = (*state)->Open(kSettingName, Access::kRead);
  if (!file.has_value()) return {};
  const Result<Ownership> owner = (*file)->Owner();
  if (!owner.has_value() || !owner->ownedByUser || owner->othersMayWrite) return {};
  std::string stored(kLongestStored + 1, '\0');
  const Result<std::size_t> read = (*file)->ReadAt(stored.data(), stored.size(), 0);
  if (!read.has_value() || *read > kLongestStored) return {};
  stored.resize(*read);
  return CodePageFromStored(stored);
}

std::optional<std::string> SaveCodePageSetting(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "no state folder";
  const std::unique_ptr<FileSystem> fs = MakeSystemFileSystem("");
  Result<std::unique_ptr<Folder>> state = fs->PrivateFolder(folder, true);
  if (!state.has_value()) return folder + ": " + ReasonText(state.error());
  // Written whole under another name, then renamed over the old setting, so
  // that the setting is always one whole name or the old one.
  (void)(*state)->Remove(kNewSettingName);  // a leftover of an earlier try
  Result<std::unique_ptr<OpenFile>> file = (*state)->Create(kNewSettingName);
  if (!file.has_value()) return folder + ": " + ReasonText(file.error());
  const std::string text = name + "\n";
  MaybeError error = (*file)->WriteAt(text.data(), text.size(), 0);
  if (!error) error = (*file)->Sync();
  if (!error) error = (*file)->RenameTo(kSettingName);
  if (error) {
    file->reset();
    (void)(*state)->Remove(kNewSettingName);
    return folder + ": " + ReasonText(*error);
  }
  return std::nullopt;
}

}  // namespace quillmere
