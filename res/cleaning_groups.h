#pragma once

#include <span>
#include <string>

#include "cleaning_options.h"

namespace quillmere {

// Where a group's check box stands in the main window's template: its
// place in the template's order (and so in the tab order) and its position
// and size in dialog units.
struct CheckBoxPlace {
  int templateIndex;
  int x;
  int y;
  int width;
  int height;
  bool textRight;  // the caption stands right-aligned
};

// One cleaning group, or one of the two other switches (the case mode and
// the preset): everything the front ends show and take for it.
struct CleaningGroup {
  bool CleaningOptions::*field;
  int controlId;        // its check box in the main window
  const char* caption;  // the check box's caption
  CheckBoxPlace place;
  const char* cliSwitch;     // the command line's option
  const char* cliArguments;  // its arguments' names, "" when it takes none
  const char* cliHelp;       // its line in --help
  // The texts the group takes, with the ids of their edit fields; the
  // command line's arguments fill them in this order.
  std::string CleaningOptions::*texts[2];
  int textControlIds[2];
  int textCount;
  // The kind of the further rules the command line adds for the group, when
  // it takes texts.
  TextRule::Kind ruleKind;
  const char* helpName;  // its entry in the help box
  const char* helpText;
  int helpIndex;     // its place in the help box
  bool inPdaPreset;  // "Set for PDA" ticks it
};

// Every group, in the cleaning pass's order (`kPassOrder`, checked when this
// is compiled), then the case mode and the preset.
std::span<const CleaningGroup> CleaningGroups();

// The "Set for PDA" preset: sets the switches of the groups it holds to the
// preset's own switch; nothing else changes.
void SetPdaSwitches(CleaningOptions& options);

}  // namespace quillmere
