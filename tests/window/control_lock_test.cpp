#include "control_lock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

const std::vector<int> kLabels{ids::kRemoveHeading, ids::kBlockBeginLabel, ids::kBlockEndLabel,
                               ids::kReplaceLabel};

std::vector<std::string> Lines(const std::string& verb, const std::vector<int>& controls) {
  std::vector<std::string> lines;
  for (const int id : controls) lines.push_back(verb + " " + std::to_string(id));
  return lines;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ControlLockTest, TheLockedSetIsTheButtonsTheOptionsAndTheListInTheirOrder) {
  EXPECT_EQ(LockedControls(), test::kLockedInOrder);
}

TEST(ControlLockTest, LockWithStartDisablesStartRightAfterTheFileList) {
  test::FakeWindow window;
  LockControls(window, true);
  EXPECT_EQ(window.log, Join(Join(Lines("disable", test::kLockedInOrder),
                                  {"disable " + std::to_string(ids::kStart)}),
                             Lines("disable", kLabels)));
}

TEST(ControlLockTest, RestoreCaptionsAndEnablesStartBetweenTheListAndTheLabels) {
  test::FakeWindow window;
  RestoreControls(window);
  EXPECT_EQ(window.log,
            Join(Join(Lines("enable", test::kLockedInOrder), {"caption 1005 START", "enable 1005"}),
                 Lines("enable", kLabels)));
}

}  // namespace
}  // namespace quillmere
