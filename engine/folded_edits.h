#pragma once

#include <string_view>

#include "text_buffer.h"

namespace quillmere {

// The user's text edits with Unicode simple case folding (folded_search.h),
// for UTF-8 text. Each leaves the text and `modified` flag of its byte-wise
// namesake in text_primitives.h, where a match is where the folded
// characters are equal, and runs in time linear in the text plus its output.

// Deletes every occurrence; the search resumes where the occurrence was.
void RemoveAllFolded(TextBuffer& buffer, std::string_view target);

// Deletes every block from `begin` through the first `end` found from one
// byte after the start of `begin`; each search for a block starts again
// from the start of the text.
void RemoveBlocksFolded(TextBuffer& buffer, std::string_view begin, std::string_view end);

// Replaces every occurrence; the search resumes at the start of the inserted
// replacement, or after it when the replacement holds the target.
void ReplaceAllFolded(TextBuffer& buffer, std::string_view target, std::string_view replacement);

// Whether the user's case-insensitive text needs these edits rather than the
// ASCII-folding ones: it holds a byte beyond ASCII, or, where
// `asciiFoldingCharacters` says the text or a rule holds the Kelvin sign or
// the long s, a 'k' or an 's' (which they fold to).
bool NeedsUnicodeFolding(std::string_view rule, bool asciiFoldingCharacters);

// Whether the text holds a character beyond ASCII that folds to an ASCII
// letter (the Kelvin sign, the long s).
bool HoldsAsciiFoldingCharacter(std::string_view text);

}  // namespace quillmere
