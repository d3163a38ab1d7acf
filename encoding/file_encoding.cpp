#include "file_encoding.h"

#include <algorithm>
#include <cctype>

#include "code_page_text.h"

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

std::optional<std::string> EncodingNameProblem(const std::string& name, bool legacyOnly) {
  const std::optional<FileEncoding> encoding = EncodingNamed(name);
  if (!encoding) return "an encoding needs a name";
  if (encoding->kind != FileEncoding::Kind::kLegacy) {
    if (legacyOnly) return "not a single-byte code page";
    return std::nullopt;
  }
  if (!CodePageNamed(name)) return "no single-byte code page of that name on this system";
  return std::nullopt;
}

}  // namespace quillmere
