#include "cleaning_options.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

CleaningOptions UserChoices() {
  CleaningOptions o;
  o.removeFonts = 1;
  o.caseSensitive = 1;
  o.removeTextEnabled = 1;
  o.searchEnabled = 1;
  o.removeText = " typed ";
  o.blockBegin = "<a";
  o.blockEnd = "</a>";
  o.searchText = "x";
  o.replaceText = "y";
  o.cleanNotes = 1;  // one of the seven, ticked by hand
  return o;
}

TEST(PdaPreset, TickingSetsTheSevenSwitchesAndNothingElse) {
  CleaningOptions o = UserChoices();
  o.pdaPreset = 1;
  SetPdaSwitches(o);
  for (auto flag : {&CleaningOptions::convertTables, &CleaningOptions::removeScripts,
                    &CleaningOptions::removePictures, &CleaningOptions::removeForms,
                    &CleaningOptions::removeSounds, &CleaningOptions::cleanNotes,
                    &CleaningOptions::convertLists}) {
    EXPECT_EQ(o.*flag, 1);
  }
  CleaningOptions expected = UserChoices();
  expected.pdaPreset = 1;
  expected.convertTables = expected.removeScripts = expected.removePictures = 1;
  expected.removeForms = expected.removeSounds = expected.convertLists = 1;
  EXPECT_EQ(o, expected);
}

TEST(PdaPreset, UntickingClearsTheSevenEvenWhenTickedByHand) {
  CleaningOptions o = UserChoices();
  o.convertTables = 1;
  o.pdaPreset = 0;
  SetPdaSwitches(o);
  EXPECT_EQ(o.convertTables, 0);
  EXPECT_EQ(o.cleanNotes, 0);
  EXPECT_EQ(o.convertLists, 0);
  EXPECT_EQ(o.removeFonts, 1);
  EXPECT_EQ(o.searchEnabled, 1);
  EXPECT_EQ(o.searchText, "x");
}

}  // namespace
}  // namespace quillmere
