// Undo of the last run, and the preview of one file: what it shows, and
// that it writes nothing.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <tuple>

#include "announcer.h"
#include "cleaning_groups.h"
#include "file_list_view.h"
#include "file_preview.h"
#include "manual_clock.h"
#include "memory_file_store.h"
#include "modal_closer.h"
#include "preview_dlg.h"
#include "resource_ids.h"
#include "text_pane.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

bool WaitForPreview(CPreviewDlg* preview) {
  return preview != nullptr && QTest::qWaitFor([preview] { return preview->ready(); }, 5000);
}

std::vector<std::pair<QString, QString>> Rows(const QTreeWidget& table) {
  std::vector<std::pair<QString, QString>> rows;
  for (int i = 0; i < table.topLevelItemCount(); ++i) {
    rows.emplace_back(table.topLevelItem(i)->text(0), table.topLevelItem(i)->text(1));
  }
  return rows;
}

using PreviewWindowTest = MainWindowTest;

TEST_F(PreviewWindowTest, UndoLastRunAsksThenPutsBackWhatTheLastRunAloneChanged) {
  ManualClock clock;
  window->logic().SetClock(clock.Function());
  const std::string first = WriteFile(dir, QStringLiteral("first.html"), "aXb");
  const std::string second = WriteFile(dir, QStringLiteral("second.html"), "cXd");
  Click(ids::kRemoveTextEnabled);
  TypeInto(ids::kRemoveText, QStringLiteral("X"));
  for (const std::string& path : {first, second}) {
    Click(ids::kClear);
    AddByDialog({path});
    clock.Advance(std::chrono::seconds(2));
    Click(ids::kStart);
  }
  ASSERT_EQ(ReadFile(second), "cd");

  ModalCloser closer([](QWidget& box) {
    if (auto* question = qobject_cast<QMessageBox*>(&box))
      question->button(QMessageBox::Yes)->click();
  });
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_TRUE(closer.seen()[0].text.startsWith(
      QStringLiteral("Put back the 1 file the last run changed, on ")))
      << ToStd(closer.seen()[0].text);
  EXPECT_EQ(ReadFile(second), "cXd");
  EXPECT_EQ(ReadFile(first), "ab");  // an earlier run's change stays
  EXPECT_EQ(Status(), QStringLiteral("Undone : 1 file, left alone : 0"));
}

TEST_F(PreviewWindowTest, ADoubleClickPreviewsTheFileWithTheWindowsOptionsAndWritesNothing) {
  const std::string text = "<p>one</p>\n<img src=\"a.png\">\n<p>two</p>\n<p>three</p>\n";
  const std::string path = WriteFile(dir, QStringLiteral("page.html"), text);
  const QFileInfo was(QString::fromStdString(path));
  AddByDialog({path});
  Click(ids::kRemovePictures);
  Click(ids::kRemoveTextEnabled);
  TypeInto(ids::kRemoveText, QStringLiteral("TWO"));
  const QString status = Status();

  FileListView& list = *window->typed().fileList;
  const QRect item = list.visualRect(list.model()->index(0, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
  CPreviewDlg* preview = window->preview();
  ASSERT_TRUE(WaitForPreview(preview));

  EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview of page.html (UTF-8)"));
  EXPECT_EQ(preview->summary(), QStringLiteral("53 bytes now, 33 bytes after a run with these "
                                               "options; 1 place changes. Nothing is written."));
  const std::vector<std::pair<QString, QString>> expected = {
      {QStringLiteral("Pics and videos"), QStringLiteral("17 bytes removed")},
      {QStringLiteral("Remove text"), QStringLiteral("3 bytes removed")},
  };
  EXPECT_EQ(Rows(preview->groupTable()), expected);
  EXPECT_EQ(preview->beforePane().side()->text(), text);
  EXPECT_EQ(preview->afterPane().side()->text(), "<p>one</p>\n\n<p></p>\n<p>three</p>\n");
  EXPECT_TRUE(preview->beforePane().side()->isChanged(1));
  EXPECT_FALSE(preview->beforePane().side()->isChanged(3));
  EXPECT_EQ(preview->beforePane().currentLine(), 1);  // the first change is shown

  preview->accept();
  // Only peeked at: a load may put back an interrupted save's copy.
  EXPECT_TRUE(store->loaded.empty());
  EXPECT_TRUE(store->saved.empty());
  EXPECT_EQ(ReadFile(path), text);
  EXPECT_EQ(QFileInfo(QString::fromStdString(path)).lastModified(), was.lastModified());
  EXPECT_EQ(Status(), status);
}

TEST_F(PreviewWindowTest, FromTheKeyboardTheMenuOpensAtTheFocusedFileAndCtrlShiftPPreviewsIt) {
  const std::string focused = WriteFile(dir, QStringLiteral("focused.htm"), "a");
  const std::string top = WriteFile(dir, QStringLiteral("top.htm"), "b");
  AddByDialog({focused, top});  // each goes on top: focused.htm is the second row
  FileListView& list = *window->typed().fileList;
  list.setFocus();
  list.clearSelection();
  list.selectionModel()->setCurrentIndex(list.model()->index(1, 0), QItemSelectionModel::NoUpdate);
  const QPoint below =
      list.viewport()->mapToGlobal(list.visualRect(list.currentIndex()).bottomLeft());

  for (const auto& [name, key] :
       {std::pair{"Shift+F10", QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)},
        std::pair{"Menu", QKeyCombination(Qt::NoModifier, Qt::Key_Menu)}}) {
    SCOPED_TRACE(name);
    QStringList items;
    QPoint at;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      at = menu->pos();
      for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) items << action->text();
      }
      menu->close();
    });
    if (key.key() == Qt::Key_Menu) {
      QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                              list.mapToGlobal(QPoint(1, 1)));
      QApplication::sendEvent(&list, &event);
    } else {
      QTest::keyClick(&list, key.key(), key.keyboardModifiers());
    }
    EXPECT_EQ(at, below);
    EXPECT_EQ(items, (QStringList{"&Add folder...", "&Remove selected", "&Open containing folder",
                                  "&Preview changes...", "&Code page of older files...",
                                  "&Undo last run"}));
  }

  // The offscreen platform gives no window back its activation when a popup closes.
  QApplication::setActiveWindow(window.get());
  QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  CPreviewDlg* preview = window->preview();
  ASSERT_TRUE(WaitForPreview(preview));
  EXPECT_EQ(preview->windowTitle(), QStringLiteral("Preview of focused.htm (UTF-8)"));
  preview->accept();
}

// The title names the file's encoding; both panes show its text as UTF-8.
TEST(PreviewDialog, TheTitleNamesTheEncodingAndThePanesShowItsText) {
  using namespace std::string_literals;
  MemoryFileStore files;
  files.files["wide.htm"] = "\xFE\xFF\0<\0b\0>\x03\xB1\0\r\0\n"s;
  files.files["old.htm"] = "caf\xE9 <b>";
  CleaningOptions options;
  options.removeFonts = true;
  const std::tuple<const char*, QString, std::string> cases[] = {
      {"wide.htm", QStringLiteral("Preview of wide.htm (UTF-16BE BOM)"), "\xCE\xB1\r\n"},
      {"old.htm", QStringLiteral("Preview of old.htm (windows-1252)"), "caf\xC3\xA9 "},
  };
  for (const auto& [path, title, after] : cases) {
    CPreviewDlg preview(nullptr, files, path, options);
    ASSERT_TRUE(WaitForPreview(&preview));
    EXPECT_EQ(preview.windowTitle(), title);
    EXPECT_EQ(preview.afterPane().side()->text(), after);
  }
}

TEST(PreviewDialog, AFileThatCannotBeReadOrCleanedSaysWhy) {
  MemoryFileStore files;
  files.files["big"] = "text";
  files.throwOnLoad.insert("big");
  const std::pair<const char*, QString> cases[] = {
      {"gone", QStringLiteral("This file cannot be read: not found")},
      {"big", QStringLiteral("This file cannot be read: out of memory")},
  };
  for (const auto& [path, summary] : cases) {
    CPreviewDlg preview(nullptr, files, path, CleaningOptions{});
    ASSERT_TRUE(WaitForPreview(&preview));
    EXPECT_EQ(preview.summary(), summary);
    EXPECT_EQ(preview.groupTable().topLevelItemCount(), 0);
    // No empty panes: only the reason and Close, in a box of their size.
    EXPECT_FALSE(preview.beforePane().isVisibleTo(&preview));
    EXPECT_FALSE(preview.groupTable().isVisibleTo(&preview));
    EXPECT_LT(preview.height(), preview.screen()->availableGeometry().height() / 2);
  }
}

// Every group ticked: all of them in sight at once; the change shown is told
// to a screen reader as the buttons move to it.
TEST(PreviewDialog, EveryGroupIsInSightAndTheChangeShownIsAnnounced) {
  MemoryFileStore files;
  files.files["f"] = "<font>x</font>\nsame\nsame\nsame\nkeep\nsame\nsame\nsame\n<b>old</b>\n";
  CleaningOptions options;
  for (const CleaningGroup& group : CleaningGroups()) options.*group.field = true;
  options.removeText = "keep";
  options.blockBegin = "<b>";
  options.blockEnd = "</b>";
  options.searchText = "x";
  options.replaceText = "y";
  CPreviewDlg preview(nullptr, files, "f", options);
  preview.show();
  ASSERT_TRUE(WaitForPreview(&preview));
  EXPECT_GE(preview.groupTable().topLevelItemCount(), 9);
  EXPECT_FALSE(preview.groupTable().verticalScrollBar()->isVisible());
  const auto* told = preview.findChild<Announcer*>();
  ASSERT_NE(told, nullptr);
  EXPECT_TRUE(told->text().startsWith(QStringLiteral("Change 1 of ")));
  preview.ShowPlace(1);
  EXPECT_TRUE(told->text().startsWith(QStringLiteral("Change 2 of ")));
  EXPECT_TRUE(told->isVisible());
}

// Lines a diff tool would show: the changed ones, and where lines of the
// other side are missing; scrolling one pane keeps the other beside it.
TEST(PreviewSides, MarkChangedLinesAndGapsAndPairLinesAcrossTheChanges) {
  struct Case {
    const char* name;
    std::string before;
    std::string removed;  // the text "Remove text" takes out
    std::vector<int> changedBefore;
    std::vector<int> gapsAfter;              // after-side lines with lines missing above
    std::vector<std::pair<int, int>> pairs;  // before line -> after line
  };
  const Case cases[] = {
      {"a line gone in the middle", "a\nb\nc\n", "b\n", {1}, {1}, {{0, 0}, {1, 1}, {2, 1}}},
      {"a line gone at the top", "x\na\nb\n", "x\n", {0}, {0}, {{0, 0}, {2, 1}}},
      {"the last line gone", "a\nb\nx", "\nx", {1, 2}, {}, {{0, 0}}},
      {"lines that end in CR LF", "a\r\nxb\r\n", "x", {1}, {}, {{0, 0}, {1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileStore files;
    files.files["f"] = c.before;
    CleaningOptions options;
    options.removeTextEnabled = true;
    options.removeText = c.removed;
    const FilePreview preview = PreviewFile(files, "f", options);
    ASSERT_FALSE(preview.error);
    std::vector<int> changed;
    for (int i = 0; i < preview.before.lineCount(); ++i) {
      if (preview.before.isChanged(i)) changed.push_back(i);
      EXPECT_EQ(preview.before.line(i).find_first_of("\r\n"), std::string_view::npos);
    }
    EXPECT_EQ(changed, c.changedBefore);
    std::vector<int> gaps;
    for (int i = 0; i <= preview.after.lineCount(); ++i) {
      if (preview.after.hasGapAbove(i)) gaps.push_back(i);
    }
    EXPECT_EQ(gaps, c.gapsAfter);
    for (const auto& [from, to] : c.pairs) {
      EXPECT_EQ(CorrespondingLine(preview.places, from, true), to) << from;
    }
    EXPECT_TRUE(files.saves.empty());
  }
}

TEST(PreviewPane, AScreenReaderReadsTheCurrentLineAndWhetherItChanged) {
  MemoryFileStore files;
  files.files["f"] = "keep\nold line\n";
  CleaningOptions options;
  options.searchEnabled = true;
  options.searchText = "old";
  options.replaceText = "new";
  auto preview = std::make_shared<const FilePreview>(PreviewFile(files, "f", options));
  TextPane pane;
  pane.setSide(std::shared_ptr<const PreviewSide>(preview, &preview->after));
  pane.resize(300, 200);
  pane.show();
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&pane);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Line 1: keep"));
  QTest::keyClick(&pane, Qt::Key_Down);
  EXPECT_EQ(pane.currentLine(), 1);
  EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("Line 2, changed: new line"));
  // Read as text too, the caret on the current line.
  QAccessibleTextInterface* text = accessible->textInterface();
  ASSERT_NE(text, nullptr);
  int start = 0;
  int end = 0;
  EXPECT_EQ(
      text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end).trimmed(),
      QStringLiteral("Line 2, changed: new line"));
  QTest::keyClick(&pane, Qt::Key_Down);  // no line below the last
  EXPECT_EQ(pane.currentLine(), 1);
}

}  // namespace
}  // namespace quillmere::test
