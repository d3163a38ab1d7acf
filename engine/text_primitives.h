#pragma once

#include <cstddef>
#include <string_view>

#include "text_buffer.h"

namespace quillmere {

// The edit operations that every cleaning step is built from. Each runs in time
// linear in the text plus its output, and leaves exactly the text and
// `modified` flag of the classic find/erase/insert loop it is named after:
// where each loop resumes after an edit is part of its contract.
//
// Preconditions (the cleaning pass keeps them): patterns, targets, begin and
// end texts are not empty (an empty one makes the operation do nothing); the
// replacement given to ReplaceBlocks does not contain its begin text.

// Offset of the first occurrence of `pattern` in `text` at or after `start`,
// or -1. Case-insensitive mode folds ASCII letters only.
std::ptrdiff_t FindText(std::string_view pattern, std::string_view text, std::size_t start,
                        bool caseSensitive);

// Deletes every occurrence of `target`, case-insensitively. After a deletion
// the search resumes at the first byte that followed the deleted occurrence,
// so an occurrence formed by the deletion that begins earlier is kept.
void RemoveAllText(TextBuffer& buffer, std::string_view target);

// Deletes every block from `begin` through the first `end` found from one byte
// after the start of `begin`, case-insensitively; every search for the next
// block starts again from the start of the text. A `begin` with no `end` after
// it ends the operation.
void RemoveBlocks(TextBuffer& buffer, std::string_view begin, std::string_view end);

// As RemoveBlocks, but each block is replaced by `replacement`, which the
// following searches see again.
void ReplaceBlocks(TextBuffer& buffer, std::string_view begin, std::string_view end,
                   std::string_view replacement);

// Replaces every occurrence of `target` by `replacement` in the given case
// mode. The search resumes at the first byte of the inserted replacement, so a
// shorter replacement that forms the target again with the text after it is
// replaced again ("<BR><BR>" by "<BR>" collapses a whole run). When the
// replacement contains the target (which would never end), the search resumes
// after the inserted replacement instead.
void ReplaceAllText(TextBuffer& buffer, std::string_view target, std::string_view replacement,
                    bool caseSensitive);

// One left-to-right scan, case-sensitive, that replaces non-overlapping
// occurrences and never looks at inserted text again. Returns the number of
// replacements.
std::size_t ReplaceOnePass(TextBuffer& buffer, std::string_view target,
                           std::string_view replacement);

// The bytes that TrimWhiteSpace deletes: 0x09-0x0D and 0x20.
inline bool IsWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Deletes white space at both ends of the text. Never sets `modified`.
void TrimWhiteSpace(TextBuffer& buffer);
// The same on a string.
void TrimWhiteSpace(std::string& text);

}  // namespace quillmere
