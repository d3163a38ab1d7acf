#include "dropped_files.h"

#include "win_text.h"

namespace quillmere {

std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    if (std::optional<std::string> utf8 = Utf8FromWide(path)) paths.push_back(std::move(*utf8));
  }
  return paths;
}

}  // namespace quillmere
