// Whole runs on real files, started by a click on START, with everything a
// user can do while the run hands events on between files.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "manual_clock.h"
#include "modal_closer.h"
#include "resource_ids.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

class RunTest : public MainWindowTest {
 protected:
  // `count` files that "Remove text :" with "XX" changes, added in reverse so
  // that the list (and the run) shows them in file order.
  std::vector<std::string> MakeFiles(int count) {
    std::vector<std::string> paths;
    for (int i = count - 1; i >= 0; --i) {
      paths.push_back(WriteFile(dir, QStringLiteral("f%1.htm").arg(i), "<p>aXXb</p>"));
    }
    AddByDialog(paths);
    std::reverse(paths.begin(), paths.end());
    Click(ids::kRemoveTextEnabled);
    TypeInto(ids::kRemoveText, QStringLiteral("XX"));
    return paths;
  }

  // Runs `action` from the draining of the file with this 1-based number.
  void AtDrainingOf(int fileNumber, std::function<void()> action) {
    store->onLoad = [this, fileNumber, action](const std::string&) {
      if (static_cast<int>(store->loaded.size()) == fileNumber - 1) Queue(action);
    };
  }
};

TEST_F(RunTest, EachFileIsCleanedInItsOwnEncodingWithTheTypedUnicodeText) {
  using namespace std::string_literals;
  const std::string utf8 = WriteFile(dir, QStringLiteral("bom.htm"), "\xEF\xBB\xBF\xCE\x91x");
  const std::string wide =
      WriteFile(dir, QStringLiteral("wide.htm"), "\xFE\xFF\x03\x91\0x\0\r\0\n"s);
  const std::string legacy = WriteFile(dir, QStringLiteral("legacy.htm"), "caf\xE9 \xC1x");
  AddByDialog({utf8, wide, legacy});
  Click(ids::kRemoveTextEnabled);
  TypeInto(ids::kRemoveText, QString::fromUtf8("\xCE\x91"));  // Greek capital alpha

  ModalCloser closer;
  Click(ids::kStart);

  EXPECT_EQ(ReadFile(utf8), "\xEF\xBB\xBFx");
  EXPECT_EQ(ReadFile(wide), "\xFE\xFF\0x\0\r\0\n"s);
  EXPECT_EQ(ReadFile(legacy), "caf\xE9 \xC1x");  // windows-1252 has no alpha
  EXPECT_TRUE(Status().endsWith(QStringLiteral("\nFiles whose code page lacks a rule text : 1")))
      << Status().toStdString();
}

TEST_F(RunTest, RunCleansChangedFilesAndReportsEachFailure) {
  const std::string changed = WriteFile(dir, QStringLiteral("changed.htm"), "<p>aXXb</p>");
  const std::string same = WriteFile(dir, QStringLiteral("same.txt"), "plain");
  const std::string missing = ToStd(dir.filePath(QStringLiteral("missing.htm")));
  const std::string wide = WriteFile(dir, QStringLiteral("wide.txt"), std::string("a\0b", 3));
  AddByDialog({changed, missing, same, wide});
  Click(ids::kRemoveTextEnabled);
  TypeInto(ids::kRemoveText, QStringLiteral("XX"));

  ModalCloser closer;
  Click(ids::kStart);

  EXPECT_EQ(ReadFile(changed), "<p>ab</p>");
  EXPECT_EQ(ReadFile(same), "plain");
  EXPECT_EQ(store->saved, std::vector<std::string>{changed});
  ASSERT_EQ(closer.seen().size(), 2u);
  EXPECT_EQ(closer.seen()[0].text, QString::fromStdString("File open error: " + wide));
  EXPECT_EQ(closer.seen()[1].text, QString::fromStdString("File open error: " + missing));
  for (const SeenModal& seen : closer.seen()) {
    EXPECT_TRUE(seen.title.isEmpty());
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    QStringList buttons = seen.buttons;
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Don't show again in this run"),
                                    QStringLiteral("OK"), QStringLiteral("Stop the run")}));
    EXPECT_EQ(seen.owner, window.get());
    EXPECT_TRUE(seen.applicationModal);
  }
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 4, Replaced files : 1, Errors : 2"));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));
  EXPECT_EQ(Progress(), 0);
  EXPECT_EQ(Get<QPushButton>(ids::kStart)->text(), QStringLiteral("START"));
  EXPECT_FALSE(window->running());
  EXPECT_TRUE(window->control(ids::kAddFiles)->isEnabled());
  EXPECT_TRUE(window->control(ids::kRemoveText)->isEnabled());
}

TEST_F(RunTest, DuringARunTheOptionsAndTheListAreLockedAndStartReadsStop) {
  const auto files = MakeFiles(2);
  std::map<int, bool> enabled;
  QString caption;
  AtDrainingOf(2, [&] {
    for (const int id : {ids::kAddFiles, ids::kClear, ids::kExit, ids::kFileList, ids::kRemoveText,
                         ids::kPdaPreset, ids::kRemoveHeading, ids::kReplaceLabel, ids::kStart,
                         ids::kAboutLabel, ids::kHelpLabel}) {
      enabled[id] = window->control(id)->isEnabled();
    }
    caption = Get<QPushButton>(ids::kStart)->text();
  });
  Click(ids::kStart);
  EXPECT_EQ(caption, QStringLiteral("STOP"));
  for (const auto& [id, isEnabled] : enabled) {
    const bool usable = id == ids::kStart || id == ids::kAboutLabel || id == ids::kHelpLabel;
    EXPECT_EQ(isEnabled, usable) << id;
  }
  for (const auto& [id, unused] : enabled) EXPECT_TRUE(window->control(id)->isEnabled()) << id;
}

TEST_F(RunTest, StopClickedDuringTheThirdOfTenFilesEndsTheRunAfterIt) {
  const auto files = MakeFiles(10);
  QPushButton* start = Get<QPushButton>(ids::kStart);
  AtDrainingOf(3, [start] { QTest::mouseClick(start, Qt::LeftButton); });
  Click(ids::kStart);

  EXPECT_EQ(store->loaded, (std::vector<std::string>{files[0], files[1], files[2]}));
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(ReadFile(files[static_cast<std::size_t>(i)]), i < 3 ? "<p>ab</p>" : "<p>aXXb</p>")
        << i;
  }
  EXPECT_EQ(Status(),
            QStringLiteral("Stopped. Files : 10, Done : 3, Replaced files : 3, Errors : 0"));
  EXPECT_EQ(Percent(), QStringLiteral("30 %"));
  EXPECT_EQ(Progress(), 30);
  EXPECT_EQ(start->text(), QStringLiteral("START"));
  EXPECT_FALSE(window->running());
}

TEST_F(RunTest, CloseEscapeAndAltF4DoNothingDuringARun) {
  const auto files = MakeFiles(3);
  std::vector<bool> visibleAfter;
  AtDrainingOf(2, [&] {
    visibleAfter.push_back(!window->close());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    visibleAfter.push_back(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F4, Qt::AltModifier);
    window->reject();
    window->accept();
    visibleAfter.push_back(window->isVisible());
  });
  Click(ids::kStart);
  EXPECT_EQ(visibleAfter, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(store->loaded.size(), 3u);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 3, Replaced files : 3, Errors : 0"));
  // Once the run is over the same request closes the window.
  EXPECT_TRUE(window->close());
}

TEST_F(RunTest, EnterDuringARunNeitherStopsNorStartsAnything) {
  const auto files = MakeFiles(3);
  QPushButton* start = Get<QPushButton>(ids::kStart);
  AtDrainingOf(2, [&] {
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
  });
  Click(ids::kStart);
  EXPECT_EQ(store->loaded.size(), 3u);
  EXPECT_FALSE(window->stopRequested());
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 3, Replaced files : 3, Errors : 0"));
}

TEST_F(RunTest, DropsDuringARunAreRefused) {
  const auto files = MakeFiles(2);
  const std::string extra = WriteFile(dir, QStringLiteral("extra.htm"), "x");
  bool accepted = true;
  AtDrainingOf(2, [&] { accepted = SendDrop(*window, LocalFilesData({extra})); });
  Click(ids::kStart);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(Listed().size(), 2u);
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 2, Replaced files : 2, Errors : 0"));
}

TEST_F(RunTest, AboutBoxOpenedDuringARunHoldsTheRunUntilClosed) {
  const auto files = MakeFiles(3);
  std::size_t loadedWhileOpen = 0;
  bool runningWhileOpen = false;
  ModalCloser closer([&](QWidget&) {
    loadedWhileOpen = store->loaded.size();
    runningWhileOpen = window->running();
  });
  AtDrainingOf(2, [&] { Click(ids::kAboutLabel); });
  Click(ids::kStart);
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].className, QStringLiteral("quillmere::CAboutDlg"));
  EXPECT_TRUE(runningWhileOpen);
  EXPECT_EQ(loadedWhileOpen, 1u);  // the second file waits for the box
  EXPECT_EQ(store->loaded.size(), 3u);
}

TEST_F(RunTest, StopClickedWhileTheLastFileIsInHandEndsTheRunNormally) {
  const auto files = MakeFiles(3);
  QPushButton* start = Get<QPushButton>(ids::kStart);
  store->onLoad = [&](const std::string&) {
    if (store->loaded.size() == 3) Queue([start] { QTest::mouseClick(start, Qt::LeftButton); });
  };
  Click(ids::kStart);
  QCoreApplication::processEvents();
  EXPECT_EQ(store->loaded.size(), 3u);  // no second run
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 3, Replaced files : 3, Errors : 0"));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));
  EXPECT_EQ(Progress(), 0);
}

TEST_F(RunTest, StartPressedBeforeTheRunEndedDoesNotStartAnotherRun) {
  const auto files = MakeFiles(2);
  ManualClock clock;
  window->logic().SetClock(clock.Function());
  QPushButton* start = Get<QPushButton>(ids::kStart);
  // Pressed while the last file is in hand; let go after the run ended.
  store->onLoad = [&](const std::string&) {
    if (store->loaded.size() == 2) Queue([start] { QTest::mousePress(start, Qt::LeftButton); });
  };
  Click(ids::kStart);
  // The run's end takes the focus to "Add files" and lets go of the press.
  EXPECT_FALSE(start->isDown());
  EXPECT_EQ(QApplication::focusWidget(), window->control(ids::kAddFiles));
  store->onLoad = nullptr;
  QTest::mouseRelease(start, Qt::LeftButton);
  EXPECT_EQ(store->loaded.size(), 2u);
  EXPECT_EQ(Status(), QStringLiteral("OK. Files : 2, Replaced files : 2, Errors : 0"));

  // A click just after the run is still part of it; a second later it is a
  // START again.
  TypeInto(ids::kRemoveText, QStringLiteral("a"));
  Click(ids::kStart);
  EXPECT_EQ(store->loaded.size(), 2u);
  clock.Advance(MainWindowLogic::kStartQuietTime);
  Click(ids::kStart);
  EXPECT_EQ(store->loaded.size(), 4u);
  EXPECT_EQ(ReadFile(files[0]), "<p>b</p>");
}

}  // namespace
}  // namespace quillmere::test
