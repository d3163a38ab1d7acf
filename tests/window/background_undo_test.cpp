// An undo off the window's thread: the window answers while a file is put
// back, results come in order, STOP begins no further file, and what the
// undo throws reaches the window's thread.
#include "background_undo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace quillmere {
namespace {

using namespace std::chrono_literals;

TEST(BackgroundUndoTest, TheWindowAnswersWhileAFileIsPutBackAndStopBeginsNoFurtherFile) {
  std::atomic<bool> answered = false;
  std::vector<bool> goOn;
  BackgroundUndo undo([&](const UndoProgress& progress) {
    goOn.push_back(progress({"a", std::nullopt, ""}, 1, 3));
    // A long file: ends only once the window's thread has been free meanwhile.
    for (int i = 0; i < 1000 && !answered; ++i) std::this_thread::sleep_for(10ms);
    goOn.push_back(progress({"b", std::nullopt, ""}, 2, 3));
  });
  std::vector<std::string> shown;
  while (!undo.Finished()) {
    std::optional<UndoStep> step = undo.Next(5ms);
    if (!step) {
      answered = !shown.empty();
      continue;
    }
    shown.push_back(step->file.path);
    undo.Stop();
  }
  EXPECT_TRUE(answered);
  EXPECT_EQ(shown, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(goOn, (std::vector<bool>{true, false}));
}

TEST(BackgroundUndoTest, WhatTheUndoThrowsIsThrownOnTheWindowsThread) {
  BackgroundUndo undo([](const UndoProgress&) { throw std::runtime_error("no memory"); });
  EXPECT_THROW(
      {
        while (!undo.Finished()) undo.Next(5ms);
      },
      std::runtime_error);
}

}  // namespace
}  // namespace quillmere
