#include "cleaning_groups.h"

#include <iterator>

#include "cleaning_pass.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

using O = CleaningOptions;

// A group that is one switch and nothing else.
constexpr CleaningGroup Switch(bool O::*field, int id, const char* caption, CheckBoxPlace place,
                               const char* cliSwitch, const char* cliHelp, const char* helpName,
                               const char* helpText, int helpIndex, bool inPdaPreset) {
  return {field,
          id,
          caption,
          place,
          cliSwitch,
          "",
          cliHelp,
          {nullptr, nullptr},
          {0, 0},
          0,
          TextRule::Kind::kRemoveText,
          helpName,
          helpText,
          helpIndex,
          inPdaPreset};
}

constexpr CleaningGroup kGroups[] = {
    Switch(&O::convertTables, ids::kConvertTables, "Convert tables to text",
           {11, 10, 30, 83, 10, false}, "--tables", "convert tables to text",
           "Convert tables to text", "Convert tables to text - row by row. ", 0, true),
    Switch(&O::removeScripts, ids::kRemoveScripts, "Scripts and applets",
           {20, 10, 55, 76, 10, false}, "--scripts", "remove scripts and applets",
           "Scripts and applets", "Remove all scripts and applets.", 1, true),
    Switch(&O::removePictures, ids::kRemovePictures, "Pics and videos", {22, 10, 75, 66, 10, false},
           "--pictures", "remove pictures and videos", "Pics and videos",
           "Remove  pictures and videos from files - not from disk !", 3, true),
    Switch(&O::removeForms, ids::kRemoveForms, "Forms", {23, 10, 65, 35, 10, false}, "--forms",
           "remove forms with their content", "Forms", "Remove forms including all texts in forms.",
           2, true),
    Switch(&O::removeSounds, ids::kRemoveSounds, "Sounds on backround", {24, 10, 85, 86, 10, false},
           "--sounds", "remove background sounds", "Sounds on backround",
           "Remove sounds on background.", 4, true),
    {&O::removeTextEnabled,
     ids::kRemoveTextEnabled,
     "Remove text :",
     {13, 115, 70, 60, 10, false},
     "--remove-text",
     "TEXT",
     "remove every TEXT (letter case ignored); repeatable",
     {&O::removeText, nullptr},
     {ids::kRemoveText, 0},
     1,
     TextRule::Kind::kRemoveText,
     "Remove text",
     "Search and remove entered text.",
     9,
     false},
    {&O::removeBlockEnabled,
     ids::kRemoveBlockEnabled,
     "Remove block",
     {14, 115, 83, 62, 10, false},
     "--remove-block",
     "BEGIN END",
     "remove every block from BEGIN through END; repeatable",
     {&O::blockBegin, &O::blockEnd},
     {ids::kBlockBegin, ids::kBlockEnd},
     2,
     TextRule::Kind::kRemoveBlock,
     "Remove block",
     "Remove whole block of text. This is useful for HTML tags !",
     10,
     false},
    {&O::searchEnabled,
     ids::kSearchEnabled,
     "Search :",
     {17, 137, 125, 43, 10, true},
     "--replace",
     "SEARCH REPLACEMENT",
     "replace every SEARCH by REPLACEMENT; repeatable",
     {&O::searchText, &O::replaceText},
     {ids::kSearchText, ids::kReplaceText},
     2,
     TextRule::Kind::kReplace,
     "Search - replace",
     "Search and replace entered text.",
     11,
     false},
    Switch(&O::cleanNotes, ids::kCleanNotes, "Notes and unnecessary chars",
           {12, 10, 95, 110, 10, false}, "--notes",
           "remove comments, tabs, doubled spaces, breaks and line ends",
           "Notes and unnecessary chars", "Remove double space, returns, tabs and comments.", 5,
           true),
    Switch(&O::convertLists, ids::kConvertLists, "Lists and formats", {27, 10, 105, 69, 10, false},
           "--lists", "convert lists to text", "Lists and formats",
           "Convert lists to text and remove their formats.", 6, true),
    Switch(&O::removeFonts, ids::kRemoveFonts, "Type and size of fonts",
           {28, 10, 114, 85, 10, false}, "--fonts", "remove font and text-style markup",
           "Type and size of fonts", "Remove informations about fonts. Not about styles !", 7,
           false),
    Switch(&O::pdaPreset, ids::kPdaPreset, "Set for PDA", {29, 10, 160, 53, 10, false}, "--pda",
           "the \"Set for PDA\" preset: tables, scripts, pictures, forms, sounds, notes and lists",
           "Set for PDA",
           "Setting recommended for HTML files, that will transfer\n\t\tto PDA devices.", 8, false),
    Switch(&O::caseSensitive, ids::kCaseSensitive, "Case sensitive", {21, 185, 155, 95, 10, false},
           "--case-sensitive", "match SEARCH and the fixed conversions in exact case",
           "Case sensitive", "Determine, whether functions search are case sensitive.", 12, false),
};

// The groups stand in the pass's own order, then the case mode and the preset.
constexpr bool FollowsThePassOrder() {
  std::size_t at = 0;
  for (bool CleaningOptions::*group : kPassOrder) {
    if (kGroups[at++].field != group) return false;
  }
  return std::size(kGroups) == at + 2;
}
static_assert(FollowsThePassOrder(), "the groups must stand in the order the pass applies them");

}  // namespace

std::span<const CleaningGroup> CleaningGroups() {
  return kGroups;
}

void SetPdaSwitches(CleaningOptions& options) {
  for (const CleaningGroup& group : kGroups) {
    if (group.inPdaPreset) options.*group.field = options.pdaPreset;
  }
}

}  // namespace quillmere
