#include "file_content.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>

#include "large_pages.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quillmere {
namespace {

// Reads and writes go in pieces of this size: no single call moves more
// than the system takes at once.
constexpr std::size_t kChunk = std::size_t{1} << 24;
// Pieces read to hash or compare a file without holding it whole.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// Reads the file from the start in pieces, each given to `take`, until the
// end or until `take` says no more.
MaybeError ReadPieces(OpenFile& file, const std::function<bool(std::string_view)>& take) {
  // Not cleared first: only the bytes read are looked at.
  const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kPiece);
  for (std::uint64_t at = 0;;) {
    Result<std::size_t> got = file.ReadAt(piece.get(), kPiece, at);
    if (!got.has_value()) return got.error();
    if (*got == 0 || !take(std::string_view(piece.get(), *got))) return std::nullopt;
    at += *got;
  }
}

}  // namespace

Result<std::string> ReadWhole(OpenFile& file, std::uint64_t size) {
  std::string content;
  try {
    content.reserve(static_cast<std::size_t>(size));
    PreferLargePages(content.data(), content.capacity());
    content.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return FileError{FileProblem::kOutOfMemory, ""};
  }
  std::uint64_t done = 0;
  while (done < size) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kChunk));
    Result<std::size_t> got = file.ReadAt(content.data() + done, want, done);
    if (!got.has_value()) return got.error();
    if (*got == 0) return FileError{FileProblem::kChanged, "it became shorter while being read"};
    done += *got;
  }
  char next = 0;
  Result<std::size_t> beyond = file.ReadAt(&next, 1, size);
  if (!beyond.has_value()) return beyond.error();
  if (*beyond != 0) return FileError{FileProblem::kChanged, "it grew while being read"};
  return content;
}

MaybeError WriteWhole(OpenFile& file, std::string_view text, std::uint64_t offset) {
  for (std::size_t done = 0; done < text.size();) {
    const std::size_t count = std::min(text.size() - done, kChunk);
    if (MaybeError error = file.WriteAt(text.data() + done, count, offset + done)) return error;
    done += count;
  }
  return std::nullopt;
}

std::uint64_t ContentHash(std::string_view content) {
  return XXH3_64bits(content.data(), content.size());
}

Result<std::uint64_t> ContentHashOf(OpenFile& file) {
  const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                       &XXH3_freeState);
  if (!state) return FileError{FileProblem::kOutOfMemory, ""};
  XXH3_64bits_reset(state.get());
  MaybeError error = ReadPieces(file, [&](std::string_view piece) {
    XXH3_64bits_update(state.get(), piece.data(), piece.size());
    return true;
  });
  if (error) return *error;
  return XXH3_64bits_digest(state.get());
}

Result<bool> Holds(OpenFile& file, std::string_view content) {
  std::size_t at = 0;
  bool same = true;
  MaybeError error = ReadPieces(file, [&](std::string_view piece) {
    same = content.substr(at, piece.size()) == piece;
    at += piece.size();
    return same;
  });
  if (error) return *error;
  return same && at == content.size();
}

}  // namespace quillmere
