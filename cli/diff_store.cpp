#include "diff_store.h"

#include <ostream>

#ifdef QUILLMERE_HAVE_DIFF
#include "text_diff.h"
#endif

namespace quillmere {

LoadedFile DiffFileStore::Load(const std::string& path) {
  LoadedFile loaded = store_.Load(path);
  loadedPath_ = path;
  loadedText_ = loaded.ok() ? loaded.text : std::string();
  return loaded;
}

std::optional<FileError> DiffFileStore::Save(const std::string& path, const std::string& text) {
  if (list_ != nullptr) {
    if (std::optional<FileError> error = store_.CheckSave(path)) return error;
    *list_ << path << '\n';
  }
#ifdef QUILLMERE_HAVE_DIFF
  if (path == loadedPath_) out_ << UnifiedDiff(loadedText_, text, path, colour_);
#else
  (void)text;
#endif
  return std::nullopt;
}

bool DiffAvailable() {
#ifdef QUILLMERE_HAVE_DIFF
  return true;
#else
  return false;
#endif
}

}  // namespace quillmere
