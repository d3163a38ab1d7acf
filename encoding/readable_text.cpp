#include "readable_text.h"

#include "text_decoding.h"

namespace quillmere {
namespace {

// The name that forces an encoding found before, mark or not.
std::string ForcedName(const FileEncoding& encoding) {
  switch (encoding.kind) {
    case FileEncoding::Kind::kUtf8:
      return "UTF-8";
    case FileEncoding::Kind::kUtf16Le:
      return "UTF-16LE";
    case FileEncoding::Kind::kUtf16Be:
      return "UTF-16BE";
    case FileEncoding::Kind::kLegacy:
      break;
  }
  return encoding.codePage;
}

}  // namespace

ReadableTexts ToReadableTexts(std::string before, std::string after, const EncodingChoice& choice) {
  Result<DecodedText> decoded = DecodeText(before, choice);
  if (!decoded.has_value() || decoded->encoding.kind == FileEncoding::Kind::kUtf8) {
    return {std::move(before), std::move(after)};
  }
  EncodingChoice same = choice;
  same.forced = ForcedName(decoded->encoding);
  Result<DecodedText> decodedAfter = DecodeText(after, same);
  return {std::move(decoded->text),
          decodedAfter.has_value() ? std::move(decodedAfter->text) : std::move(after)};
}

}  // namespace quillmere
