#include "group_changes.h"

#include <gtest/gtest.h>

#include <string>

#include "cleaning_groups.h"
#include "cleaning_pass.h"

namespace quillmere {
namespace {

TEST(GroupChanges, GroupByGroupGivesTheTextOneRunGivesAndWhatEachGroupDid) {
  const std::string text =
      "<table><tr><td>a</td></tr></table>  <img src=x>\n\n<!-- note -->\n"
      "<ul><li>one<li>two</ul><font size=2>big</font> old text";
  CleaningOptions options;
  options.pdaPreset = true;
  SetPdaSwitches(options);
  options.removeFonts = true;
  options.searchEnabled = true;
  options.searchText = "OLD";
  options.replaceText = "new";
  std::string cleaned;
  const std::vector<GroupChange> changes = CleanGroupByGroup(text, options, cleaned);

  TextBuffer once{text, false};
  CleanText(once, options);
  EXPECT_EQ(cleaned, once.text);
  ASSERT_EQ(changes.size(), 9u);  // the seven of the preset, search and fonts
  EXPECT_EQ(changes.front().caption, std::string("Convert tables to text"));
  EXPECT_EQ(changes.front().before, text.size());
  EXPECT_EQ(changes.back().after, cleaned.size());
  for (std::size_t i = 1; i < changes.size(); ++i) {
    EXPECT_EQ(changes[i].before, changes[i - 1].after) << changes[i].caption;
  }
  for (const GroupChange& change : changes) {
    EXPECT_EQ(change.changed, change.caption != std::string("Sounds on backround") &&
                                  change.caption != std::string("Forms") &&
                                  change.caption != std::string("Scripts and applets"))
        << change.caption;
  }
}

}  // namespace
}  // namespace quillmere
