#include "native_path.h"

#ifdef _WIN32
#include "win_errors.h"
#endif

namespace quillmere {

#ifdef _WIN32

std::filesystem::path NativePath(const std::string& bytes) {
  const std::optional<std::wstring> wide = detail::Widen(bytes);
  return wide ? std::filesystem::path(*wide) : std::filesystem::path();
}

std::optional<std::string> PathBytes(const std::filesystem::path& path) {
  return detail::Narrow(path.native());
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
