#include "record_lines.h"

#include <algorithm>
#include <array>
#include <istream>
#include <new>
#include <stdexcept>
#include <vector>

namespace quillmere {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;
// A long line is held in pieces of this size until it is whole.
constexpr std::size_t kPiece = std::size_t{1} << 20;

struct Chunk {
  std::size_t size = 0;
  bool lineEnded = false;
  bool inputEnded = false;
};

// Reads the line on up to its end, at most a buffer full.
Chunk ReadChunk(std::istream& in, std::array<char, kChunk>& buffer) {
  in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  const auto count = static_cast<std::size_t>(in.gcount());
  if (in.eof() || in.bad()) return {count, true, true};
  if (!in.fail()) return {count - 1, true, false};  // the line end was taken too
  in.clear();                                       // the buffer is full and the line goes on
  return {count, false, false};
}

// The pieces as one string, each given back once it is copied.
std::string Joined(std::vector<std::string>& pieces, std::size_t length) {
  if (pieces.size() == 1) return std::move(pieces.front());
  std::string line;
  line.reserve(length);
  for (std::string& piece : pieces) {
    line += piece;
    std::string().swap(piece);
  }
  return line;
}

}  // namespace

RecordLines::Read RecordLines::Next(std::string& line) {
  std::string().swap(line);
  std::array<char, kChunk> buffer;
  std::vector<std::string> pieces;
  std::size_t length = 0;
  bool lineEnded = false;
  try {
    for (;;) {
      const Chunk chunk = ReadChunk(in_, buffer);
      if (chunk.inputEnded && chunk.size == 0 && length == 0) return Read::kEnd;
      length += chunk.size;
      lineEnded = chunk.lineEnded;
      if (length > mostBytes_) {
        pieces.clear();
        if (!lineEnded) SkipRest();
        return Read::kTooLong;
      }
      if (pieces.empty() || pieces.back().size() + chunk.size > kPiece) {
        pieces.emplace_back().reserve(std::min(kPiece, std::max(chunk.size, std::size_t{256})));
      }
      pieces.back().append(buffer.data(), chunk.size);
      if (lineEnded) break;
    }
    line = Joined(pieces, length);
    return Read::kLine;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  pieces.clear();
  pieces.shrink_to_fit();
  if (!lineEnded) SkipRest();
  return Read::kNoMemory;
}

void RecordLines::SkipRest() {
  std::array<char, kChunk> buffer;
  while (!ReadChunk(in_, buffer).lineEnded) {
  }
}

}  // namespace quillmere
