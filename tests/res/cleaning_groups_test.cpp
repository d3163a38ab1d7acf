#include "cleaning_groups.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

CleaningOptions UserChoices() {
  CleaningOptions o;
  o.removeFonts = true;
  o.caseSensitive = true;
  o.removeTextEnabled = true;
  o.searchEnabled = true;
  o.removeText = " typed ";
  o.blockBegin = "<a";
  o.blockEnd = "</a>";
  o.searchText = "x";
  o.replaceText = "y";
  o.cleanNotes = true;  // one of the seven, ticked by hand
  return o;
}

TEST(PdaPreset, TickingSetsTheSevenSwitchesAndNothingElse) {
  CleaningOptions o = UserChoices();
  o.pdaPreset = true;
  SetPdaSwitches(o);
  for (auto flag : {&CleaningOptions::convertTables, &CleaningOptions::removeScripts,
                    &CleaningOptions::removePictures, &CleaningOptions::removeForms,
                    &CleaningOptions::removeSounds, &CleaningOptions::cleanNotes,
                    &CleaningOptions::convertLists}) {
    EXPECT_TRUE(o.*flag);
  }
  CleaningOptions expected = UserChoices();
  expected.pdaPreset = true;
  expected.convertTables = expected.removeScripts = expected.removePictures = true;
  expected.removeForms = expected.removeSounds = expected.convertLists = true;
  EXPECT_EQ(o, expected);
}

TEST(PdaPreset, UntickingClearsTheSevenEvenWhenTickedByHand) {
  CleaningOptions o = UserChoices();
  o.convertTables = true;
  o.pdaPreset = false;
  SetPdaSwitches(o);
  EXPECT_FALSE(o.convertTables);
  EXPECT_FALSE(o.cleanNotes);
  EXPECT_FALSE(o.convertLists);
  EXPECT_TRUE(o.removeFonts);
  EXPECT_TRUE(o.searchEnabled);
  EXPECT_EQ(o.searchText, "x");
}

}  // namespace
}  // namespace quillmere
