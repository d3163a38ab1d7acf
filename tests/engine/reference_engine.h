#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "cleaning_options.h"
#include "text_buffer.h"

// A literal, deliberately slow transcription of the editing algorithms: find,
// erase, insert and restart exactly as the classic loops do. The fast engine
// must leave the same text and `modified` flag on every input.
namespace quillmere::reference {

// Thrown when a loop runs far longer than any input of the tests could need.
struct RunawayLoop : std::runtime_error {
  RunawayLoop() : std::runtime_error("reference loop did not end") {}
};

long FindText(const std::string& pattern, const std::string& text, long start, bool caseSensitive);
void RemoveAllText(TextBuffer& buffer, const std::string& target);
void RemoveBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end);
void ReplaceBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end,
                   const std::string& replacement);
void ReplaceAllText(TextBuffer& buffer, const std::string& target, const std::string& replacement,
                    bool caseSensitive);
int ReplaceOnePass(TextBuffer& buffer, const std::string& target, const std::string& replacement);
void TrimWhiteSpace(TextBuffer& buffer);

// The user's texts fold letter case by Unicode's simple case folding, in
// UTF-8 read from where each search starts: a match is where the folded
// characters are equal, and its length in bytes is the text's it covers.
struct FoldedFind {
  long start = -1;  // -1: none
  long length = 0;
};
FoldedFind FindFolded(const std::string& pattern, const std::string& text, long start);
void RemoveAllUserText(TextBuffer& buffer, const std::string& target);
void RemoveUserBlocks(TextBuffer& buffer, const std::string& begin, const std::string& end);
void ReplaceAllUserText(TextBuffer& buffer, const std::string& target,
                        const std::string& replacement, bool caseSensitive);
void CleanText(TextBuffer& buffer, const CleaningOptions& options);

}  // namespace quillmere::reference
