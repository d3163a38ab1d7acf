// What makes the window usable by everyone: screen readers, long paths,
// keyboard, failed files, folders and fonts.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <memory>

#include "file_list_view.h"
#include "focus_mark_style.h"
#include "manual_clock.h"
#include "modal_closer.h"
#include "qt_window_services.h"
#include "resource_ids.h"
#include "static_text.h"
#include "ui_test_support.h"
#include "wrapped_text.h"

namespace quillmere::test {
namespace {

class EveryoneTest : public MainWindowTest {
 protected:
  QAccessibleInterface* Accessible(int id) const {
    return QAccessible::queryAccessibleInterface(window->control(id));
  }
  QString Name(int id) const { return Accessible(id)->text(QAccessible::Name); }
};

TEST_F(EveryoneTest, AScreenReaderNamesEveryControlAndReadsEveryText) {
  for (const auto& [id, control] : window->controls()) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(accessible, nullptr) << id;
    EXPECT_NE(accessible->role(), QAccessible::Client) << id;
    EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << id;
  }
  struct Expected {
    int id;
    QAccessible::Role role;
    const char* name;
  };
  for (const Expected& expected : {
           Expected{ids::kRemoveHeading, QAccessible::StaticText, "Remove :"},
           Expected{ids::kPercentLabel, QAccessible::StaticText, "0 %"},
           Expected{ids::kStatusLine, QAccessible::StaticText, "OK. Drag and drop files."},
           Expected{ids::kAboutLabel, QAccessible::Link, "About ..."},
           Expected{ids::kHelpLabel, QAccessible::Link, "A little help"},
           Expected{ids::kRemoveText, QAccessible::EditableText, "Remove text"},
           Expected{ids::kBlockBegin, QAccessible::EditableText, "begin text"},
           Expected{ids::kBlockEnd, QAccessible::EditableText, "end text"},
           Expected{ids::kSearchText, QAccessible::EditableText, "Search"},
           Expected{ids::kReplaceText, QAccessible::EditableText, "replace"},
           Expected{ids::kFileList, QAccessible::List, "Files"},
           Expected{ids::kProgressBar, QAccessible::ProgressBar, "Progress"},
       }) {
    EXPECT_EQ(Accessible(expected.id)->role(), expected.role) << expected.name;
    EXPECT_EQ(Name(expected.id), QString::fromUtf8(expected.name));
  }
  Click(ids::kClear);
  EXPECT_EQ(Name(ids::kStatusLine), QStringLiteral("OK."));
}

// The window's notifications that show, as a screen reader finds them.
std::vector<QAccessibleInterface*> Notifications(QWidget* window) {
  std::vector<QAccessibleInterface*> found;
  QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window);
  for (int i = 0; i < top->childCount(); ++i) {
    QAccessibleInterface* child = top->child(i);
    if (child->role() == QAccessible::Notification && !child->state().invisible) {
      found.push_back(child);
    }
  }
  return found;
}

TEST_F(EveryoneTest, TheEndOfARunIsAnnouncedOnceAndTheStatusLineReadsAsText) {
  const std::string page = WriteFile(dir, QStringLiteral("a.htm"), "<font>x</font>");
  AddByDialog({page});
  window->typed().checkBoxes.at(ids::kRemoveFonts)->setChecked(true);
  EXPECT_TRUE(Notifications(window.get()).empty());
  Click(ids::kStart);
  // A notification that shows with the summary; screen readers speak it.
  const std::vector<QAccessibleInterface*> told = Notifications(window.get());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0]->text(QAccessible::Name), Status());
  QAccessibleTextInterface* text = Accessible(ids::kStatusLine)->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(0, text->characterCount()), Status());
  int start = 0;
  int end = 0;
  EXPECT_EQ(text->textAtOffset(0, QAccessible::WordBoundary, &start, &end), QStringLiteral("OK"));
}

TEST_F(EveryoneTest, ALinkCanBePressedByAScreenReader) {
  ModalCloser closer;
  Accessible(ids::kAboutLabel)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].className, QStringLiteral("quillmere::CAboutDlg"));
}

TEST_F(EveryoneTest, AnErrorBoxShowsALongPathWholeAtASaneWidth) {
  const std::string path = "/" + std::string(400, 'p') + "/file.htm";
  const auto box = MakeMessageBox("File open error: " + path, "", MessageStyle::kExclamation,
                                  window.get(), "not found");
  box->show();
  const QString message = QString::fromStdString("File open error: " + path);
  auto* text = box->findChild<WrappedText*>();
  ASSERT_NE(text, nullptr);
  // The text exactly as it is, for a screen reader and a copy alike, and the
  // lines it wraps into show whole.
  EXPECT_EQ(text->text(), message);
  EXPECT_EQ(box->text(), message);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name), message);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(text)->role(), QAccessible::StaticText);
  EXPECT_LE(box->width(), box->screen()->availableGeometry().width());
  EXPECT_GE(text->height(), text->heightForWidth(text->width()));
  EXPECT_GT(text->height(), 2 * text->fontMetrics().height());
}

// An Enter held down since before the box (its repeat and release) does not
// answer it; "Stop the run" then ends the run after the failed file.
TEST_F(EveryoneTest, AnErrorBoxIgnoresAKeyHeldFromBeforeAndCanStopTheRun) {
  const std::string first = ToStd(dir.filePath(QStringLiteral("first-missing.htm")));
  const std::string second = ToStd(dir.filePath(QStringLiteral("second-missing.htm")));
  AddByDialog({second, first});
  ModalCloser closer([](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(box, nullptr);
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent held(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
      QApplication::sendEvent(ok, &held);
    }
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->clickedButton(), nullptr);
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == QStringLiteral("Stop the run")) button->click();
    }
  });
  Click(ids::kStart);
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_TRUE(closer.seen()[0].text.endsWith(QStringLiteral("first-missing.htm")));
  EXPECT_EQ(Status(),
            QStringLiteral("Stopped. Files : 2, Done : 1, Replaced files : 0, Errors : 1"));
}

TEST_F(EveryoneTest, TheStatusLineGivesUpAPathsMiddleRatherThanCutALine) {
  auto* status = Get<StaticText>(ids::kStatusLine);
  const QString path =
      QStringLiteral("/start/") + QString(2000, QLatin1Char('m')) + QStringLiteral("/the-end.htm");
  status->setText(path);
  EXPECT_EQ(status->visibleLineCount(), status->lineCount());
  EXPECT_TRUE(status->shownText().startsWith(QStringLiteral("/start/")));
  EXPECT_TRUE(status->shownText().endsWith(QStringLiteral("/the-end.htm")));
  EXPECT_TRUE(status->shownText().contains(QChar(0x2026)));
  EXPECT_EQ(status->toolTip(), path);
  status->setText(QStringLiteral("short"));
  EXPECT_EQ(status->shownText(), QStringLiteral("short"));
  EXPECT_TRUE(status->toolTip().isEmpty());
}

TEST_F(EveryoneTest, FailedFilesStayMarkedWithTheirReasonUntilTheNextRun) {
  const std::string good = WriteFile(dir, QStringLiteral("good.htm"), "text");
  const std::string missing = ToStd(dir.filePath(QStringLiteral("missing.htm")));
  AddByDialog({good, missing});
  ManualClock clock;
  window->logic().SetClock(clock.Function());
  ModalCloser closer;
  Click(ids::kStart);
  const PathListModel& model = window->typed().fileList->pathModel();
  const QModelIndex failed = model.index(0);  // the last added is on top
  ASSERT_EQ(model.path(0), missing);
  EXPECT_FALSE(model.data(failed, Qt::DecorationRole).isNull());
  EXPECT_TRUE(model.data(failed, Qt::ToolTipRole).toString().endsWith(QStringLiteral("not found")));
  EXPECT_TRUE(model.data(model.index(1), Qt::DecorationRole).isNull());
  // The mark takes room of its own: the path beside it is not cut short.
  const FileListView& view = *window->typed().fileList;
  EXPECT_GE(view.columnWidth(),
            view.fontMetrics().horizontalAdvance(QString::fromStdString(missing)) +
                view.style()->pixelMetric(QStyle::PM_SmallIconSize));
  // Reached from the keyboard, it shows its reason.
  window->typed().fileList->setFocus();
  window->typed().fileList->setCurrentIndex(model.index(1));
  QTest::keyClick(window->typed().fileList, Qt::Key_Up);
  EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral("not found")))
      << QToolTip::text().toStdString();
  // A screen reader hears the reason as the item's description.
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->typed().fileList);
  ASSERT_NE(list, nullptr);
  ASSERT_GE(list->childCount(), 2);
  EXPECT_EQ(list->child(0)->text(QAccessible::Description), QStringLiteral("not found"));
  EXPECT_EQ(list->child(1)->text(QAccessible::Description), QString());

  WriteFile(dir, QStringLiteral("missing.htm"), "now here");
  clock.Advance(MainWindowLogic::kStartQuietTime);
  Click(ids::kStart);
  EXPECT_TRUE(model.data(model.index(0), Qt::DecorationRole).isNull());
}

TEST_F(EveryoneTest, SelectedFilesComeOffTheListWithDelete) {
  const std::vector<std::string> paths{"/x/a.htm", "/x/b.htm", "/x/c.htm"};
  AddByDialog(paths);
  FileListView* list = window->typed().fileList;
  list->setFocus();
  list->selectionModel()->select(list->pathModel().index(1), QItemSelectionModel::Select);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"/x/c.htm", "/x/a.htm"}));
  EXPECT_EQ(window->logic().list().FromTheTop(), Listed());
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 2\nRemoved : 1 file"));
}

TEST_F(EveryoneTest, AddFolderAddsItsTextFiles) {
  WriteFile(dir, QStringLiteral("a.htm"), "a");
  WriteFile(dir, QStringLiteral("b.png"), "b");
  window->services().SetNextChosenFolder(ToStd(dir.path()));
  window->logic().OnAddFolder(ToStd(dir.path()));
  EXPECT_EQ(Listed(), std::vector<std::string>{ToStd(dir.filePath(QStringLiteral("a.htm")))});
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 1"));
}

// A path typed into the open-file dialog with its completion list open, and
// Enter: the main window is active again, the focus on "Add files".
TEST_F(EveryoneTest, TheFocusComesBackAfterTheOpenFileDialogsCompletion) {
  WriteFile(dir, QStringLiteral("page-one.htm"), "a");
  WriteFile(dir, QStringLiteral("page-two.htm"), "b");
  auto* addFiles = Get<QPushButton>(ids::kAddFiles);
  addFiles->setFocus();
  bool completing = false;
  QTimer typist;
  typist.setInterval(5);
  QObject::connect(&typist, &QTimer::timeout, [&] {
    QFileDialog* dialog = window->findChild<QFileDialog*>();
    if (dialog == nullptr || !dialog->isVisible()) return;
    typist.stop();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    dialog->setDirectory(dir.path());
    QTest::qWait(300);  // the folder is read in the background
    QTest::keyClicks(name, QStringLiteral("page-"));
    QAbstractItemView* popup = name->completer() ? name->completer()->popup() : nullptr;
    for (int wait = 0; wait < 100 && popup != nullptr && !popup->isVisible(); ++wait) {
      QTest::qWait(20);
    }
    completing = popup != nullptr && popup->isVisible();
    // Chosen while the list is still open.
    name->setText(QStringLiteral("page-one.htm"));
    static_cast<QDialog*>(dialog)->accept();
  });
  typist.start();
  // Never left open: the checks below then fail.
  QTimer::singleShot(5000, window.get(), [this] {
    if (auto* dialog = window->findChild<QFileDialog*>()) dialog->reject();
  });
  QTest::keyClick(addFiles, Qt::Key_Space);
  EXPECT_TRUE(completing) << "the completion list did not open";
  EXPECT_EQ(Listed(),
            std::vector<std::string>{ToStd(dir.filePath(QStringLiteral("page-one.htm")))});
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
  EXPECT_EQ(QApplication::focusWidget(), addFiles);
}

TEST_F(EveryoneTest, ShiftF1OpensTheAboutBox) {
  ModalCloser closer;
  QTest::keyClick(window.get(), Qt::Key_F1, Qt::ShiftModifier);
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].className, QStringLiteral("quillmere::CAboutDlg"));
}

TEST(FocusMark, AFocusedButtonLooksOtherThanTheDefaultButtonAlone) {
  QPushButton button(QStringLiteral("Add files"));
  button.setDefault(true);
  FocusMarkStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
  button.setStyle(&style);
  button.resize(100, 30);
  const QImage plain = button.grab().toImage();
  button.setAttribute(Qt::WA_UnderMouse, false);
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.state |= QStyle::State_HasFocus;
  QImage focused(plain.size(), plain.format());
  focused.fill(Qt::transparent);
  QPainter painter(&focused);
  style.drawControl(QStyle::CE_PushButton, &option, &painter, &button);
  painter.end();
  option.state &= ~QStyle::State_HasFocus;
  QImage unfocused(plain.size(), plain.format());
  unfocused.fill(Qt::transparent);
  QPainter other(&unfocused);
  style.drawControl(QStyle::CE_PushButton, &option, &other, &button);
  other.end();
  EXPECT_NE(focused, unfocused);
}

}  // namespace
}  // namespace quillmere::test
