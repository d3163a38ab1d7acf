#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text_search.h"

namespace quillmere::detail {

// The text of a block loop while it is being edited: the output built so far
// followed by the untouched rest of the original. Offsets address that
// concatenation, so a loop can be written as find/erase/insert on one string
// while each byte of the original is copied once. Edits are expected at or
// near the end of the output (a loop only looks back as far as a new match
// could begin), which keeps every edit cheap.
class SplicedText {
 public:
  // `expectedSize` is reserved for the output on the first edit.
  explicit SplicedText(std::string_view original, std::size_t expectedSize = 0);

  // First match of `searcher` at or after `from`, or kNotFound.
  std::size_t Find(const Searcher& searcher, std::size_t from);

  // Deletes the bytes [begin, end).
  void Erase(std::size_t begin, std::size_t end);

  // Inserts `text` at `pos`.
  void Insert(std::size_t pos, std::string_view text);

  // The whole edited text.
  std::string Finish() &&;

 private:
  // Moves the original bytes before `pos` into the output.
  void SettleUpTo(std::size_t pos);

  std::string out_;
  std::string_view rest_;
  std::size_t expectedSize_;
};

}  // namespace quillmere::detail
