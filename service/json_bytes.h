#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

using Json = nlohmann::ordered_json;

// Bytes in JSON: a JSON string holds Unicode text, so bytes that are not
// valid UTF-8 (a file name in another encoding, text in a single-byte code
// page) go base64-encoded under the key with "_base64" after it.
bool IsUtf8(std::string_view bytes);
// The length of the UTF-8 sequence that `bytes` starts with, 0 when invalid.
std::size_t Utf8SequenceLength(std::string_view bytes);
std::string ToBase64(std::string_view bytes);
// Nothing when `text` is no base64 (RFC 4648, with its padding).
std::optional<std::string> FromBase64(std::string_view text);

// Sets `key` to the bytes when they are UTF-8, else `key`_base64.
void PutBytes(Json& object, const std::string& key, const std::string& bytes);
// Writes the member PutBytes would make, "key":"..." as dump() writes it,
// straight to `out` without a copy of the bytes.
void WriteBytes(std::ostream& out, const std::string& key, std::string_view bytes);

// The object on one line, with its line end; bytes of a string that are not
// UTF-8 become U+FFFD.
std::string JsonLine(const Json& object);

}  // namespace quillmere
