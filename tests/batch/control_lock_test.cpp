#include "control_lock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace quillmere {
namespace {

// The locked set as the window lists it, START excluded.
const std::vector<int> kBeforeStart{1000, 1004, 1,    1001, 1003, 1006, 1008, 1014,
                                    1017, 1018, 1019, 1020, 1021, 1023, 1024, 1028,
                                    1007, 1009, 1010, 1012, 1013, 1002};
const std::vector<int> kLabels{1022, 1025, 1026, 1027};

std::vector<std::string> Lines(const std::string& verb, const std::vector<int>& ids) {
  std::vector<std::string> lines;
  for (const int id : ids) lines.push_back(verb + " " + std::to_string(id));
  return lines;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ControlLockTest, LockWithoutStartDisablesTheLockedSetInOrder) {
  test::FakePlatform platform;
  LockControls(platform, false);
  EXPECT_EQ(platform.log, Join(Lines("disable", kBeforeStart), Lines("disable", kLabels)));
}

TEST(ControlLockTest, LockWithStartDisablesStartRightAfterTheFileList) {
  test::FakePlatform platform;
  LockControls(platform, true);
  EXPECT_EQ(platform.log, Join(Join(Lines("disable", kBeforeStart), {"disable 1005"}),
                               Lines("disable", kLabels)));
}

TEST(ControlLockTest, RestoreCaptionsAndEnablesStartBetweenTheListAndTheLabels) {
  test::FakePlatform platform;
  RestoreControls(platform);
  EXPECT_EQ(platform.log,
            Join(Join(Lines("enable", kBeforeStart), {"caption 1005 START", "enable 1005"}),
                 Lines("enable", kLabels)));
}

}  // namespace
}  // namespace quillmere
