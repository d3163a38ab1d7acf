#pragma once

#include <string>

namespace quillmere {

// What a run does to every file: eleven group switches, the case mode of the
// search-and-replace conversions, the preset switch and five texts typed by
// the user, bytes in the system's 8-bit encoding, kept exactly as typed.
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

  bool operator==(const CleaningOptions&) const = default;
};

}  // namespace quillmere
