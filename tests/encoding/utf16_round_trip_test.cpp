#include <gtest/gtest.h>

#include <random>
#include <string>

#include "encoded_cleaning.h"

namespace quillmere {
namespace {

// Random UTF-16 with no NUL and every surrogate paired: ASCII, the rest of
// the basic plane and pairs, in either byte order.
std::string RandomUtf16(std::mt19937& random, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  const auto put = [&](unsigned unit) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  const int length = static_cast<int>(static_cast<unsigned>(random()) % 200);
  for (int i = 0; i < length; ++i) {
    const unsigned kind = static_cast<unsigned>(random()) % 3;
    if (kind == 0) {
      const unsigned unit = 1 + static_cast<unsigned>(random()) % 0x7F;
      put(unit == '<' ? '>' : unit);
    } else if (kind == 1) {
      unsigned unit = 0x80 + static_cast<unsigned>(random()) % (0x10000 - 0x80);
      if (unit >= 0xD800 && unit <= 0xDFFF) unit -= 0x800;
      put(unit);
    } else {
      put(0xD800 + static_cast<unsigned>(random()) % 0x400);
      put(0xDC00 + static_cast<unsigned>(random()) % 0x400);
    }
  }
  return bytes;
}

TEST(Utf16RoundTrip, EveryTextWithoutAnEditComesBackByteForByte) {
  std::mt19937 random(23);
  CleaningOptions options;
  options.removeFonts = true;  // finds nothing: the texts hold no '<'
  for (int i = 0; i < 2000; ++i) {
    const std::string bytes = RandomUtf16(random, i % 2 == 1);
    const EncodedCleaning cleaned = CleanEncoded(bytes, options);
    ASSERT_FALSE(cleaned.error) << *cleaned.error;
    ASSERT_FALSE(cleaned.modified);
    ASSERT_TRUE(cleaned.bytes == bytes) << "case " << i;
  }
}

}  // namespace
}  // namespace quillmere
