#include "file_encoding.h"

#include <algorithm>
#include <cctype>

namespace quillmere {

std::string FileEncoding::Name() const {
  std::string name;
  switch (kind) {
    case Kind::kUtf8:
      name = "UTF-8";
      break;
    case Kind::kUtf16Le:
      name = "UTF-16LE";
      break;
    case Kind::kUtf16Be:
      name = "UTF-16BE";
      break;
    case Kind::kLegacy:
      name = codePage;
      break;
  }
  return byteOrderMark ? name + " BOM" : name;
}

std::optional<FileEncoding> EncodingNamed(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::string key;
  for (char c : name) {
    if (c != '-' && c != '_') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (key == "UTF8") return FileEncoding{FileEncoding::Kind::kUtf8, false, ""};
  if (key == "UTF16LE") return FileEncoding{FileEncoding::Kind::kUtf16Le, false, ""};
  if (key == "UTF16BE") return FileEncoding{FileEncoding::Kind::kUtf16Be, false, ""};
  return FileEncoding{FileEncoding::Kind::kLegacy, false, name};
}

}  // namespace quillmere
