#pragma once

#include <string>
#include <vector>

namespace quillmere {

// One more rule for a group that takes texts: a text to remove, a block's
// begin and end texts, or a search text and its replacement. The pattern
// kinds hold a regular expression (pattern_rules.h) and run with the rules
// of the literal kind beside them: kRemovePattern with kRemoveText,
// kReplacePattern with kReplace.
struct TextRule {
  enum class Kind { kRemoveText, kRemoveBlock, kReplace, kRemovePattern, kReplacePattern };
  Kind kind = Kind::kRemoveText;
  std::string first;   // the text to remove, BEGIN, SEARCH or the pattern
  std::string second;  // END or REPLACEMENT; unused by kRemoveText and kRemovePattern
  // kRemoveText and kReplace: match only where the text starts and ends at a
  // word's edge (letters, digits and '_' are word characters).
  bool wholeWords = false;

  bool operator==(const TextRule&) const = default;
};

// Which encoding the files are read and written in. Each file's own is found
// (a byte order mark, else valid UTF-8, else `legacy`) unless `forced` names
// one; an empty `legacy` is the system's legacy code page.
struct EncodingChoice {
  std::string forced;
  std::string legacy;

  bool operator==(const EncodingChoice&) const = default;
};

// What a run does to every file: eleven group switches, the case mode of the
// search-and-replace conversions, the preset switch and five texts typed by
// the user, in UTF-8 (each file gets them in its own encoding).
struct CleaningOptions {
  std::string removeText;
  std::string blockBegin;
  std::string blockEnd;
  bool convertTables = false;
  bool cleanNotes = false;
  bool removeTextEnabled = false;
  bool removeBlockEnabled = false;
  std::string searchText;
  std::string replaceText;
  bool searchEnabled = false;
  bool removeScripts = false;
  bool caseSensitive = false;
  bool removePictures = false;
  bool removeForms = false;
  bool removeSounds = false;
  bool convertLists = false;
  bool removeFonts = false;
  bool pdaPreset = false;
  // Rules after the group's own texts, for front ends that take several:
  // each runs where its kind's group runs, when that group's switch is on,
  // in the order of this list. A rule with an empty text does nothing.
  std::vector<TextRule> rules;
  // Not used by the engine: the front ends read and write files with it.
  EncodingChoice encoding;

  bool operator==(const CleaningOptions&) const = default;
};

}  // namespace quillmere
