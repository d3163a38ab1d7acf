// The main window's handlers while idle: the preset, the file list, the keys,
// the help boxes and the About box, driven through the real widgets.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "about_dlg.h"
#include "little_help.h"
#include "modal_closer.h"
#include "resource_ids.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

using HandlersTest = MainWindowTest;

constexpr int kPresetBoxes[] = {ids::kConvertTables, ids::kRemoveScripts, ids::kRemovePictures,
                                ids::kRemoveForms,   ids::kRemoveSounds,  ids::kCleanNotes,
                                ids::kConvertLists};

bool Ticked(const CMainDlg& window, int id) {
  return qobject_cast<QCheckBox*>(window.control(id))->isChecked();
}

TEST_F(HandlersTest, PresetTicksAndClearsItsSevenBoxesAndNothingElse) {
  Click(ids::kRemoveFonts);
  Click(ids::kRemoveForms);
  Click(ids::kPdaPreset);
  for (const int id : kPresetBoxes) EXPECT_TRUE(Ticked(*window, id)) << id;
  EXPECT_TRUE(Ticked(*window, ids::kRemoveFonts));
  EXPECT_FALSE(Ticked(*window, ids::kCaseSensitive));
  EXPECT_TRUE(window->fields().options.pdaPreset);

  Click(ids::kCaseSensitive);
  Click(ids::kRemoveScripts);  // unticked by hand, ticked again by the preset's end
  Click(ids::kPdaPreset);
  for (const int id : kPresetBoxes) EXPECT_FALSE(Ticked(*window, id)) << id;
  EXPECT_TRUE(Ticked(*window, ids::kRemoveFonts));
  EXPECT_TRUE(Ticked(*window, ids::kCaseSensitive));
  EXPECT_TRUE(window->fields().options.caseSensitive);
}

TEST_F(HandlersTest, TypedTextSurvivesEveryHandlerThatUpdatesTheWindow) {
  const std::string file = WriteFile(dir, QStringLiteral("a.htm"), "x");
  TypeInto(ids::kRemoveText, QStringLiteral("<b>"));
  TypeInto(ids::kSearchText, QStringLiteral("Grüße"));
  TypeInto(ids::kReplaceText, QStringLiteral(" two  spaces "));
  Click(ids::kPdaPreset);
  AddByDialog({file});
  Click(ids::kClear);
  ASSERT_TRUE(SendDrop(*window, LocalFilesData({file})));
  EXPECT_EQ(Get<QLineEdit>(ids::kRemoveText)->text(), QStringLiteral("<b>"));
  EXPECT_EQ(Get<QLineEdit>(ids::kSearchText)->text(), QStringLiteral("Grüße"));
  EXPECT_EQ(Get<QLineEdit>(ids::kReplaceText)->text(), QStringLiteral(" two  spaces "));
  EXPECT_EQ(window->fields().options.searchText, "Grüße");
  EXPECT_EQ(window->fields().options.replaceText, " two  spaces ");
  EXPECT_TRUE(Ticked(*window, ids::kConvertLists));
}

TEST_F(HandlersTest, AddedFilesGoOnTopInReverseOrderWithoutDuplicates) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  const std::string b = WriteFile(dir, QStringLiteral("b.htm"), "b");
  const std::string c = WriteFile(dir, QStringLiteral("c.htm"), "c");
  AddByDialog({a, b, c});
  EXPECT_EQ(Listed(), (std::vector<std::string>{c, b, a}));
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 3"));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));

  AddByDialog({b});
  EXPECT_EQ(Listed().size(), 3u);
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 3"));
}

TEST_F(HandlersTest, CancelledDialogChangesNothing) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  AddByDialog({a});
  window->services().SetNextChosenFiles(std::nullopt);
  Click(ids::kAddFiles);
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 1"));
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(HandlersTest, ClearEmptiesTheListAndReportsOk) {
  Click(ids::kClear);  // on an empty list too
  EXPECT_EQ(Status(), QStringLiteral("OK."));
  AddByDialog({WriteFile(dir, QStringLiteral("a.htm"), "a")});
  Click(ids::kClear);
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Status(), QStringLiteral("OK."));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));
  EXPECT_EQ(Progress(), 0);
}

TEST_F(HandlersTest, StartOnAnEmptyListAsksForFiles) {
  int width = 0;
  int titleWidth = 0;
  ModalCloser closer([&](QWidget& box) {
    width = box.width();
    titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle());
  });
  Click(ids::kStart);
  // Wide enough for its whole title beside a title bar's icon and buttons.
  constexpr int kTitleBarButtons = 100;
  EXPECT_GT(width, titleWidth + kTitleBarButtons) << "title " << titleWidth;
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].text, QStringLiteral("Select files !"));
  EXPECT_EQ(closer.seen()[0].title, QStringLiteral("Quillmere"));
  EXPECT_EQ(closer.seen()[0].owner, window.get());
  EXPECT_EQ(Get<QPushButton>(ids::kStart)->text(), QStringLiteral("START"));
  EXPECT_EQ(Status(), QStringLiteral("OK. Drag and drop files."));
  EXPECT_TRUE(store->loaded.empty());
}

TEST_F(HandlersTest, EnterInACheckBoxOrAnEditFieldActivatesAddFiles) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  const std::string b = WriteFile(dir, QStringLiteral("b.htm"), "b");
  window->activateWindow();
  QWidget* box = window->control(ids::kRemoveForms);
  box->setFocus();
  window->services().SetNextChosenFiles(std::vector<std::string>{a});
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Listed(), std::vector<std::string>{a});
  EXPECT_FALSE(Ticked(*window, ids::kRemoveForms));

  QWidget* edit = window->control(ids::kBlockEnd);
  edit->setFocus();
  window->services().SetNextChosenFiles(std::vector<std::string>{b});
  QTest::keyClick(edit, Qt::Key_Enter);
  EXPECT_EQ(Listed(), (std::vector<std::string>{b, a}));
  EXPECT_TRUE(window->isVisible());
}

TEST_F(HandlersTest, EscapeClosesTheIdleWindowAtOnce) {
  ModalCloser closer;
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Rejected);
  EXPECT_TRUE(closer.seen().empty());
}

TEST_F(HandlersTest, CloseBoxClosesTheIdleWindow) {
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(HandlersTest, ExitReadsTheControlsAndCloses) {
  TypeInto(ids::kBlockBegin, QStringLiteral("<!--"));
  Click(ids::kExit);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(window->fields().options.blockBegin, "<!--");
}

void ExpectHelpBoxes(const ModalCloser& closer, QWidget* owner) {
  const auto boxes = LittleHelpBoxes([](const char* text) { return std::string(text); });
  ASSERT_EQ(closer.seen().size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const SeenModal& seen = closer.seen()[i];
    EXPECT_EQ(seen.title, QString::fromStdString(boxes[i].caption));
    EXPECT_EQ(seen.text, QString::fromStdString(boxes[i].text));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    ASSERT_EQ(seen.buttons.size(), 1);
    EXPECT_EQ(QString(seen.buttons[0]).remove(QLatin1Char('&')), QStringLiteral("OK"));
    EXPECT_EQ(seen.owner, owner);
    EXPECT_TRUE(seen.applicationModal);
    // The second box opens only once the first has closed.
    EXPECT_EQ(seen.visibleMessageBoxes, 1);
  }
}

TEST_F(HandlersTest, LittleHelpLabelShowsTheTwoHelpBoxesInTurn) {
  ModalCloser closer;
  Click(ids::kHelpLabel);
  ExpectHelpBoxes(closer, window.get());
}

TEST_F(HandlersTest, F1ShowsTheSameHelp) {
  ModalCloser closer;
  QTest::keyClick(window.get(), Qt::Key_F1);
  ExpectHelpBoxes(closer, window.get());
}

TEST_F(HandlersTest, AboutLabelOpensTheAboutBoxCentredOverTheWindow) {
  QRect aboutGeometry;
  ModalCloser closer([&](QWidget& box) { aboutGeometry = box.frameGeometry(); });
  Click(ids::kAboutLabel);
  ASSERT_EQ(closer.seen().size(), 1u);
  const SeenModal& seen = closer.seen()[0];
  EXPECT_EQ(seen.className, QStringLiteral("quillmere::CAboutDlg"));
  EXPECT_EQ(seen.title, QStringLiteral("Quillmere"));
  EXPECT_EQ(seen.owner, window.get());
  EXPECT_EQ(seen.focusName, QStringLiteral("control1"));  // "OK"
  // Frames not yet known to the window system are estimated.
  EXPECT_NEAR(aboutGeometry.center().x(), window->frameGeometry().center().x(), 50);
  EXPECT_NEAR(aboutGeometry.center().y(), window->frameGeometry().center().y(), 50);
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace quillmere::test
