// The program's life: one modal main window; when it closes, whichever way,
// the start-up returns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "cleaner_app.h"
#include "main_dlg.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

CMainDlg* OpenMainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<CMainDlg*>(widget); window && window->isVisible()) {
      return window;
    }
  }
  return nullptr;
}

// Runs the main window and ends it with `close` once it shows.
bool RunAndEndWith(std::function<void(CMainDlg&)> close) {
  bool wasModal = false;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (CMainDlg* window = OpenMainWindow()) {
      timer.stop();
      wasModal = window->isModal() && QApplication::activeModalWidget() == window;
      close(*window);
    }
  });
  timer.start();
  RunMainWindow();
  return wasModal && OpenMainWindow() == nullptr;
}

TEST(StartUp, ExitEndsTheMainWindow) {
  EXPECT_TRUE(RunAndEndWith(
      [](CMainDlg& window) { QTest::mouseClick(window.control(ids::kExit), Qt::LeftButton); }));
}

TEST(StartUp, EscapeEndsTheMainWindow) {
  EXPECT_TRUE(RunAndEndWith([](CMainDlg& window) { QTest::keyClick(&window, Qt::Key_Escape); }));
}

TEST(StartUp, CloseRequestEndsTheMainWindow) {
  EXPECT_TRUE(RunAndEndWith([](CMainDlg& window) { window.close(); }));
}

}  // namespace
}  // namespace quillmere
