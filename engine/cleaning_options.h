#pragma once

#include <cstdint>
#include <string>

namespace quillmere {

// What a run does to every file: eleven group switches, the case mode of the
// search-and-replace conversions, the preset switch and five texts typed by the
// user. Switches are 0 (off) or any other value (on); texts are bytes in the
// system's 8-bit encoding, kept exactly as typed.
struct CleaningOptions {
  std::string removeText;
  std::string blockBegin;
  std::string blockEnd;
  std::int32_t convertTables = 0;
  std::int32_t cleanNotes = 0;
  std::int32_t removeTextEnabled = 0;
  std::int32_t removeBlockEnabled = 0;
  std::string searchText;
  std::string replaceText;
  std::int32_t searchEnabled = 0;
  std::int32_t removeScripts = 0;
  std::int32_t caseSensitive = 0;
  std::int32_t removePictures = 0;
  std::int32_t removeForms = 0;
  std::int32_t removeSounds = 0;
  std::int32_t convertLists = 0;
  std::int32_t removeFonts = 0;
  std::int32_t pdaPreset = 0;

  bool operator==(const CleaningOptions&) const = default;
};

// The "Set for PDA" preset: sets the seven switches that suit small devices to
// 1 when `pdaPreset` is on, and to 0 when it is off. Nothing else changes.
void SetPdaSwitches(CleaningOptions& options);

}  // namespace quillmere
