#include "diff_store.h"

#include <utility>

#ifdef QUILLMERE_HAVE_DIFF
#include "diff_labels.h"
#include "readable_text.h"
#include "text_diff.h"
#endif

namespace quillmere {

LoadedFile DiffFileStore::Load(const std::string& path) {
  // What a run would start from; nothing is put back or removed.
  LoadedFile loaded = inner().Peek(path);
  loadedPath_ = path;
  loadedText_ = loaded.ok() ? loaded.text : std::string();
  return loaded;
}

std::optional<FileError> DiffFileStore::Save(const std::string& path, const std::string& text) {
  if (checkSaves_) {
    if (std::optional<FileError> error = inner().CheckSave(path)) return error;
  }
#ifdef QUILLMERE_HAVE_DIFF
  if (path == loadedPath_) {
    FileStamp stamp;
    const Timestamp before = inner().Stamp(path, stamp) ? TimeNow() : stamp.modified;
    const ReadableTexts texts = ToReadableTexts(loadedText_, text, encoding_);
    show_(UnifiedDiff(texts.before, texts.after, DiffLabel(path, before),
                      DiffLabel(path, TimeNow()), colour_));
  }
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
