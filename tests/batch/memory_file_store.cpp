#include "memory_file_store.h"

#include <iterator>
#include <new>

namespace quillmere::test {

const std::string& MemoryFileStore::FileOf(const std::string& path) const {
  const auto alias = aliases.find(path);
  return alias == aliases.end() ? path : alias->second;
}

LoadedFile MemoryFileStore::Load(const std::string& path) {
  loads.push_back(path);
  return Read(path);
}

LoadedFile MemoryFileStore::Peek(const std::string& path) {
  peeks.push_back(path);
  return Read(path);
}

LoadedFile MemoryFileStore::Read(const std::string& path) {
  if (throwOnLoad.contains(path)) throw std::bad_alloc();
  LoadedFile loaded;
  loaded.restored = restoreOnLoad.contains(path);
  const auto found = files.find(FileOf(path));
  if (found == files.end()) {
    loaded.error = FileError{FileProblem::kNotFound, ""};
    return loaded;
  }
  loaded.text = found->second;
  loaded.key = *KeyOf(path);
  return loaded;
}

std::optional<FileKey> MemoryFileStore::KeyOf(const std::string& path) {
  const auto found = files.find(FileOf(path));
  if (found == files.end()) return std::nullopt;
  if (const auto key = keys.find(found->first); key != keys.end()) return key->second;
  return FileKey{1, static_cast<std::uint64_t>(std::distance(files.begin(), found))};
}

std::optional<FileError> MemoryFileStore::Save(const std::string& path, const std::string& text) {
  saves.push_back(path);
  if (auto error = CheckSave(path)) return error;
  files[FileOf(path)] = text;
  if (newKeyOnSave) keys[FileOf(path)] = FileKey{2, ++renumbered_};
  if (afterSave) afterSave(FileOf(path));
  return std::nullopt;
}

std::optional<FileError> MemoryFileStore::Stamp(const std::string& path, FileStamp& stamp) {
  const auto found = files.find(FileOf(path));
  if (found == files.end()) return FileError{FileProblem::kNotFound};
  stamp = stamps[found->first];
  stamp.size = found->second.size();
  return std::nullopt;
}

std::optional<FileError> MemoryFileStore::Restamp(const std::string& path, const FileStamp& stamp) {
  if (!files.contains(FileOf(path))) return FileError{FileProblem::kNotFound};
  stamps[FileOf(path)] = stamp;
  return std::nullopt;
}

std::optional<FileError> MemoryFileStore::CheckSave(const std::string& path) {
  checks.push_back(path);
  if (failSave.contains(path)) return FileError{FileProblem::kReadOnly, "no write bit"};
  if (!files.contains(FileOf(path))) return FileError{FileProblem::kNotFound, ""};
  return std::nullopt;
}

}  // namespace quillmere::test
