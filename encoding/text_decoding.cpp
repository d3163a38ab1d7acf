#include "text_decoding.h"

#include <cstring>
#include <string_view>

#include "code_page_text.h"
#include "unicode_case.h"
#include "utf16_text.h"
#include "utf8_text.h"

namespace quillmere {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string_view MarkOf(FileEncoding::Kind kind) {
  switch (kind) {
    case FileEncoding::Kind::kUtf8:
      return kUtf8Mark;
    case FileEncoding::Kind::kUtf16Le:
      return kUtf16LeMark;
    case FileEncoding::Kind::kUtf16Be:
      return kUtf16BeMark;
    case FileEncoding::Kind::kLegacy:
      break;
  }
  return {};
}

bool StartsWith(std::string_view text, std::string_view start) {
  return !start.empty() && text.substr(0, start.size()) == start;
}

// The encoding the bytes show, when no encoding is forced.
FileEncoding Detect(std::string_view bytes, const EncodingChoice& choice) {
  using Kind = FileEncoding::Kind;
  for (Kind kind : {Kind::kUtf8, Kind::kUtf16Le, Kind::kUtf16Be}) {
    if (StartsWith(bytes, MarkOf(kind))) return {kind, true, ""};
  }
  if (IsValidUtf8WithoutNul(bytes)) return {Kind::kUtf8, false, ""};
  return {Kind::kLegacy, false, choice.legacy.empty() ? SystemLegacyCodePage() : choice.legacy};
}

// Whether the code page's first half is ASCII and none of its other
// characters folds to an ASCII letter (as the Kelvin sign folds to 'k').
bool KeepsAsciiApart(const SingleByteCodePage& page) {
  for (std::size_t byte = 0; byte < page.characters.size(); ++byte) {
    const char32_t character = page.characters[byte];
    if (byte < 0x80 ? character != byte
                    : character != kNoCharacter && SimpleCaseFold(character) < 0x80) {
      return false;
    }
  }
  return true;
}

FileError BadEncoding(std::string why) {
  return FileError{FileProblem::kBadEncoding, std::move(why)};
}

}  // namespace

Result<DecodedText> DecodeText(std::string bytes, const EncodingChoice& choice,
                               bool legacyAsBytes) {
  std::optional<FileEncoding> encoding = EncodingNamed(choice.forced);
  const bool forced = encoding.has_value();
  if (forced) {
    encoding->byteOrderMark = StartsWith(bytes, MarkOf(encoding->kind));
  } else {
    encoding = Detect(bytes, choice);
  }
  if (encoding->kind == FileEncoding::Kind::kLegacy && !CodePageNamed(encoding->codePage)) {
    return BadEncoding("no single-byte code page " + encoding->codePage + " on this system");
  }
  const std::size_t markSize = encoding->byteOrderMark ? MarkOf(encoding->kind).size() : 0;
  DecodedText decoded;
  decoded.encoding = *encoding;
  if (encoding->kind == FileEncoding::Kind::kUtf16Le ||
      encoding->kind == FileEncoding::Kind::kUtf16Be) {
    const bool bigEndian = encoding->kind == FileEncoding::Kind::kUtf16Be;
    const std::string_view units = std::string_view(bytes).substr(markSize);
    if (std::optional<std::string> why = Utf16ToUtf8(units, bigEndian, decoded.text)) {
      return BadEncoding(encoding->Name() + " with " + *why);
    }
    decoded.original = std::move(bytes);
    return decoded;
  }
  bytes.erase(0, markSize);
  // Text found to be UTF-8 was found to hold no NUL on the way.
  const bool foundUtf8 =
      !forced && !encoding->byteOrderMark && encoding->kind == FileEncoding::Kind::kUtf8;
  if (!foundUtf8 && std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
    return FileError{FileProblem::kHoldsNulByte, ""};
  }
  if (encoding->kind == FileEncoding::Kind::kLegacy &&
      !(legacyAsBytes && KeepsAsciiApart(*CodePageNamed(encoding->codePage)))) {
    std::optional<std::string> text = DecodeCodePage(bytes, *CodePageNamed(encoding->codePage));
    if (!text) return BadEncoding(encoding->codePage + " gives two bytes one character");
    decoded.text = std::move(*text);
    decoded.original = std::move(bytes);
    return decoded;
  }
  decoded.codePageBytes = encoding->kind == FileEncoding::Kind::kLegacy;
  decoded.text = std::move(bytes);
  return decoded;
}

Result<std::string> EncodeText(std::string text, const FileEncoding& encoding, bool codePageBytes,
                               std::string room) {
  const std::string_view mark = encoding.byteOrderMark ? MarkOf(encoding.kind) : "";
  if (encoding.kind == FileEncoding::Kind::kUtf16Le ||
      encoding.kind == FileEncoding::Kind::kUtf16Be) {
    std::string bytes = std::move(room);
    bytes.assign(mark);
    const bool bigEndian = encoding.kind == FileEncoding::Kind::kUtf16Be;
    if (std::optional<std::string> why = Utf8ToUtf16(text, bigEndian, bytes)) {
      return BadEncoding(*why);
    }
    return bytes;
  }
  if (encoding.kind == FileEncoding::Kind::kLegacy && !codePageBytes) {
    const SingleByteCodePage* page = CodePageNamed(encoding.codePage);
    std::optional<std::string> bytes = page ? ToCodePage(text, *page) : std::nullopt;
    if (!bytes)
      return BadEncoding("the cleaned text has characters that " + encoding.codePage + " lacks");
    return std::move(*bytes);
  }
  if (!mark.empty()) text.insert(0, mark);
  return text;
}

}  // namespace quillmere
