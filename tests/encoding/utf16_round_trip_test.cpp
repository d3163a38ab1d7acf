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

// A character after a long ASCII run, so that it lies across the end of a
// block of the transcoding: of the UTF-16 units (32768 to a block) or of the
// UTF-8 bytes (65536).
struct BlockEndCase {
  std::size_t asciiBefore;
  unsigned unit;
  unsigned second;  // the low surrogate of a pair, else 0
};

TEST(Utf16RoundTrip, CharactersAcrossBlockEndsComeBackByteForByte) {
  const BlockEndCase cases[] = {
      {32767, 0xD83D, 0xDE00},  // a pair across the end of a UTF-16 block
      {65535, 0xD83D, 0xDE00},  // four bytes of UTF-8 across a UTF-8 block's end
      {65534, 0x20AC, 0},       // three bytes of UTF-8 across it
      {65535, 0x00E9, 0},       // two bytes of UTF-8 across it
  };
  CleaningOptions options;
  options.removeFonts = true;
  for (const BlockEndCase& c : cases) {
    for (bool bigEndian : {false, true}) {
      std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
      const auto put = [&](unsigned unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
      };
      for (std::size_t i = 0; i < c.asciiBefore; ++i) put('a');
      put(c.unit);
      if (c.second != 0) put(c.second);
      for (int i = 0; i < 20; ++i) put('z');
      const EncodedCleaning cleaned = CleanEncoded(bytes, options);
      ASSERT_FALSE(cleaned.error) << *cleaned.error;
      EXPECT_TRUE(cleaned.bytes == bytes) << c.asciiBefore << " " << c.unit << " " << bigEndian;
    }
  }
}

}  // namespace
}  // namespace quillmere
