#include "native_path.h"

#ifdef _WIN32
#include "win_text.h"
#endif

namespace quillmere {

#ifdef _WIN32

std::filesystem::path NativePath(const std::string& bytes) {
  const std::optional<std::wstring> wide = WideFromUtf8(bytes);
  return wide ? std::filesystem::path(*wide) : std::filesystem::path();
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
