#pragma once

#include <optional>
#include <string>

namespace quillmere {

// The encoding a file was read in, and so is written back in.
struct FileEncoding {
  enum class Kind { kUtf8, kUtf16Le, kUtf16Be, kLegacy };
  Kind kind = Kind::kUtf8;
  bool byteOrderMark = false;
  std::string codePage;  // kLegacy: the single-byte code page's name

  // "UTF-8", "UTF-16LE", "UTF-16BE" or the code page's name, with " BOM"
  // after a byte order mark.
  std::string Name() const;

  bool operator==(const FileEncoding&) const = default;
};

// The encoding a name given by the user stands for ("UTF-8", "utf-16le",
// "windows-1252"); a code page name is taken as it is, to be looked up
// when a file is read. Nothing for an empty name.
std::optional<FileEncoding> EncodingNamed(const std::string& name);

// Why the name cannot be used ("no single-byte code page of that name on
// this system"), or nothing. With `legacyOnly` only a code page is allowed.
std::optional<std::string> EncodingNameProblem(const std::string& name, bool legacyOnly);

}  // namespace quillmere
