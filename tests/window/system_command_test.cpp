#include "system_command.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

constexpr unsigned kScMove = 0xF010;
constexpr unsigned kScClose = 0xF060;
constexpr unsigned kScKeyMenu = 0xF100;
constexpr unsigned kScMouseMenu = 0xF090;

TEST(SystemCommand, WhileIdleTheAboutItemOpensTheBoxAndTheRestIsDefault) {
  EXPECT_EQ(DecideSystemCommand(16, false), SystemCommandAction::kShowAbout);
  EXPECT_EQ(DecideSystemCommand(16 | 0x3, false), SystemCommandAction::kShowAbout);
  EXPECT_EQ(DecideSystemCommand(kScClose, false), SystemCommandAction::kDefault);
  EXPECT_EQ(DecideSystemCommand(kScMove | 0x2, false), SystemCommandAction::kDefault);
  EXPECT_EQ(DecideSystemCommand(kScMinimize, false), SystemCommandAction::kDefault);
}

TEST(SystemCommand, DuringARunOnlyExactMinimiseAndRestoreGoThrough) {
  EXPECT_EQ(DecideSystemCommand(kScMinimize, true), SystemCommandAction::kDefault);
  EXPECT_EQ(DecideSystemCommand(kScRestore, true), SystemCommandAction::kDefault);
  for (const unsigned command :
       {16u, kScMove, kScMove | 0x2u, kScClose, kScKeyMenu, kScMouseMenu, kScMinimize | 0x1u}) {
    EXPECT_EQ(DecideSystemCommand(command, true), SystemCommandAction::kIgnore) << command;
  }
}

}  // namespace
}  // namespace quillmere
