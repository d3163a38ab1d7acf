#include "json_bytes.h"

#include <array>
#include <ostream>

namespace quillmere {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> DecodeTable() {
  std::array<int, 256> table{};
  for (int& value : table) value = -1;
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
  }
  return table;
}

}  // namespace

// No overlong form, no surrogate, nothing above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const auto continuation = [&](std::size_t i) {
    return i < bytes.size() && (b(i) & 0xC0) == 0x80;
  };
  const unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2)) return 0;
    if (lead == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && b(1) >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
    if (lead == 0xF0 && b(1) < 0x90) return 0;   // overlong
    if (lead == 0xF4 && b(1) >= 0x90) return 0;  // above U+10FFFF
    return 4;
  }
  return 0;
}

bool IsUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

std::string ToBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    out += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return out;
}

std::optional<std::string> FromBase64(std::string_view text) {
  static constexpr std::array<int, 256> kDecode = DecodeTable();
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const int value = k >= 4 - static_cast<std::size_t>(padding)
                            ? 0
                            : kDecode[static_cast<unsigned char>(text[i + k])];
      if (value < 0) return std::nullopt;
      group = group << 6 | static_cast<std::uint32_t>(value);
    }
    out += static_cast<char>(group >> 16);
    if (padding < 2) out += static_cast<char>((group >> 8) & 0xFF);
    if (padding < 1) out += static_cast<char>(group & 0xFF);
  }
  return out;
}

void PutBytes(Json& object, const std::string& key, const std::string& bytes) {
  if (IsUtf8(bytes)) {
    object[key] = bytes;
  } else {
    object[key + "_base64"] = ToBase64(bytes);
  }
}

namespace {

// The bytes as a JSON string's inside, escaped as dump() escapes them.
void WriteEscaped(std::ostream& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::size_t plain = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.write(bytes.data() + plain, static_cast<std::streamsize>(i - plain));
    plain = i + 1;
    switch (c) {
      case '"':
        out << "\\\"";
        break;
      case '\\':
        out << "\\\\";
        break;
      case '\b':
        out << "\\b";
        break;
      case '\f':
        out << "\\f";
        break;
      case '\n':
        out << "\\n";
        break;
      case '\r':
        out << "\\r";
        break;
      case '\t':
        out << "\\t";
        break;
      default:
        out << "\\u00" << kHex[c >> 4] << kHex[c & 15];
        break;
    }
  }
  out.write(bytes.data() + plain, static_cast<std::streamsize>(bytes.size() - plain));
}

}  // namespace

void WriteBytes(std::ostream& out, const std::string& key, std::string_view bytes) {
  if (IsUtf8(bytes)) {
    out << '"' << key << "\":\"";
    WriteEscaped(out, bytes);
  } else {
    out << '"' << key << "_base64\":\"";
    // Whole groups of three bytes at a time, so no group is split.
    constexpr std::size_t kPiece = 3 << 16;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece)
      out << ToBase64(bytes.substr(at, kPiece));
  }
  out << '"';
}

std::string JsonLine(const Json& object) {
  // Bytes go through PutBytes; anything else that is not UTF-8 (a parser's
  // message quoting its input) is shown with replacement characters.
  return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quillmere
