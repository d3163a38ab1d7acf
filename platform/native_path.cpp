#include "native_path.h"

#ifdef _WIN32
#include "win_path.h"
#include "win_text.h"
#endif

namespace quillmere {

#ifdef _WIN32

std::filesystem::path NativePath(const std::string& bytes) {
  const std::optional<std::wstring> wide = WideFromUtf8(bytes);
  // Long paths in the form that reaches them; shown paths keep the form given.
  return wide ? std::filesystem::path(on_windows::SystemPath(*wide)) : std::filesystem::path();
}

std::optional<std::string> PathBytes(const std::filesystem::path& path) {
  return Utf8FromWide(path.native());
}

#else

std::filesystem::path NativePath(const std::string& bytes) {
  return std::filesystem::path(bytes);
}

std::optional<std::string> PathBytes(const std::filesystem::path& path) {
  return path.native();
}

#endif

}  // namespace quillmere
