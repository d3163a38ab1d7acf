#include "encoded_cleaning.h"

#include "cleaning_pass.h"
#include "rules_in_encoding.h"
#include "text_decoding.h"

namespace quillmere {

EncodedCleaning CleanEncoded(std::string bytes, const CleaningOptions& options) {
  EncodedCleaning cleaning;
  Result<DecodedText> decoded =
      DecodeText(std::move(bytes), options.encoding, UserTextsAreAscii(options));
  if (!decoded.has_value()) {
    cleaning.error = decoded.error();
    return cleaning;
  }
  cleaning.encoding = decoded->encoding;
  const RulesInEncoding rules = RulesFor(options, cleaning.encoding);
  cleaning.textLeftOut = rules.textLeftOut;
  TextBuffer buffer{std::move(decoded->text), false};
  CleanText(buffer, rules.options);
  cleaning.modified = buffer.modified;
  // Always encoded: a step such as the final trim may change the text
  // without counting as an edit, and the text is what the caller gets.
  // The bytes as read make room for the bytes to write.
  Result<std::string> encoded = EncodeText(std::move(buffer.text), cleaning.encoding,
                                           decoded->codePageBytes, std::move(decoded->original));
  if (!encoded.has_value()) {
    cleaning.error = encoded.error();
    return cleaning;
  }
  cleaning.bytes = std::move(*encoded);
  return cleaning;
}

std::string LeftOutText(const FileEncoding& encoding) {
  return "rule text not representable in " + encoding.codePage;
}

}  // namespace quillmere
