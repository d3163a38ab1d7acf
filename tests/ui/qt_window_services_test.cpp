// The Qt platform services on their own: the open-file dialog, message boxes,
// the list's exact bytes and the data exchange.
#include "qt_window_services.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTest>

#include "file_list_view.h"
#include "modal_closer.h"
#include "resource_ids.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

TEST(OpenFilesDialog, OffersTheFourFiltersWithTheirExactDescriptions) {
  const auto dialog = MakeOpenFilesDialog(nullptr);
  EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
  auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(combo, nullptr);
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
  EXPECT_EQ(shown, (QStringList{QString::fromUtf8("HTML soubory (*.htm*)"),
                                QString::fromUtf8("Textové soubory (*.txt)"),
                                QString::fromUtf8("HTML a textové soubory (*.htm* *.txt)"),
                                QStringLiteral("All Files (*.*)")}));
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_EQ(shown[1].at(6), QChar(0xE9));
}

// The names the dialog lists in `folder` with the filter at `index` chosen.
QStringList ListedNames(QFileDialog& dialog, const QString& folder, int index) {
  dialog.setDirectory(folder);
  // As the user picks it from the list.
  auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  combo->setCurrentIndex(index);
  emit combo->activated(index);
  auto* model = dialog.findChild<QFileSystemModel*>();
  const QModelIndex root = model->index(folder);
  // The model reads the folder in the background.
  for (int waited = 0; waited < 5000 && model->rowCount(root) == 0; waited += 10) {
    QTest::qWait(10);
  }
  // The model applies a new filter when it next sorts, from the event loop.
  QTest::qWait(50);
  QStringList names;
  for (int row = 0; row < model->rowCount(root); ++row) {
    const QModelIndex item = model->index(row, 0, root);
    // Names the filter does not take are hidden or shown disabled.
    if (model->flags(item) & Qt::ItemIsEnabled) names << model->fileName(item);
  }
  names.sort();
  return names;
}

TEST(OpenFilesDialog, EachFilterListsItsFilesAndAllFilesListsNamesWithoutADot) {
  QTemporaryDir dir;
  for (const char* name : {"index.html", "page.htm", "notes.txt", "README", "image.png"}) {
    WriteFile(dir, QString::fromLatin1(name), "x");
  }
  const auto dialog = MakeOpenFilesDialog(nullptr);
  EXPECT_EQ(ListedNames(*dialog, dir.path(), 0),
            (QStringList{QStringLiteral("index.html"), QStringLiteral("page.htm")}));
  EXPECT_EQ(ListedNames(*dialog, dir.path(), 1), QStringList{QStringLiteral("notes.txt")});
  EXPECT_EQ(ListedNames(*dialog, dir.path(), 2),
            (QStringList{QStringLiteral("index.html"), QStringLiteral("notes.txt"),
                         QStringLiteral("page.htm")}));
  EXPECT_EQ(ListedNames(*dialog, dir.path(), 3),
            (QStringList{QStringLiteral("README"), QStringLiteral("image.png"),
                         QStringLiteral("index.html"), QStringLiteral("notes.txt"),
                         QStringLiteral("page.htm")}));
}

TEST(MessageBoxes, ErrorBoxesHaveNoTitleAWarningIconAndOneButton) {
  QWidget owner;
  const auto box =
      MakeMessageBox("File open error: /x", "", MessageStyle::kExclamation, &owner, "not found");
  EXPECT_TRUE(box->windowTitle().isEmpty());
  EXPECT_EQ(box->text(), QStringLiteral("File open error: /x"));
  EXPECT_EQ(box->informativeText(), QStringLiteral("not found"));
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->buttons().size(), 1);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
  EXPECT_EQ(box->parentWidget(), &owner);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);

  const auto plain = MakeMessageBox("<b>text</b>", "About :", MessageStyle::kPlain, &owner);
  EXPECT_EQ(plain->icon(), QMessageBox::NoIcon);
  EXPECT_EQ(plain->windowTitle(), QStringLiteral("About :"));
  EXPECT_EQ(plain->text(), QStringLiteral("<b>text</b>"));
}

TEST(MessageBoxes, HelpLinesAreNotWrappedWhereTheScreenHasRoom) {
  QWidget owner;
  const std::string line =
      "and completely remove or change unnecessary tags or other text - any required.";
  const auto box = MakeMessageBox("short\n" + line + "\n", "About :", MessageStyle::kPlain, &owner);
  box->show();
  QCoreApplication::processEvents();
  auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(QString::fromStdString(line)));
  box->hide();
}

using PlatformTest = MainWindowTest;

TEST_F(PlatformTest, ListGivesBackTheExactBytesOfEveryPath) {
  QtWindowServices& platform = window->services();
  const std::string notUtf8 = "/tmp/caf\xE9.htm";
  const std::string longPath = "/" + std::string(5000, 'p');
  platform.ListInsertAtTop(notUtf8);
  platform.ListInsertAtTop(longPath);
  const FileListView& list = *window->typed().fileList;
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.path(0), longPath);
  EXPECT_EQ(list.path(1), notUtf8);
  platform.ListDeleteAll();
  EXPECT_EQ(list.count(), 0);
}

TEST_F(PlatformTest, ExchangeCarriesEveryFieldBothWays) {
  QtWindowServices& platform = window->services();
  WindowFields fields;
  CleaningOptions& o = fields.options;
  o.removeText = "r";
  o.blockBegin = "<!--";
  o.blockEnd = "-->";
  o.searchText = "s";
  o.replaceText = "t";
  o.cleanNotes = 1;
  o.searchEnabled = 1;
  o.caseSensitive = 7;  // any other value than 0 is on
  o.removeFonts = 1;
  fields.statusText = "status";
  fields.percentText = "42 %";
  platform.ExchangeData(fields, ExchangeDirection::kWrite);
  EXPECT_EQ(Get<QLineEdit>(ids::kBlockBegin)->text(), QStringLiteral("<!--"));
  EXPECT_EQ(Status(), QStringLiteral("status"));
  EXPECT_EQ(Percent(), QStringLiteral("42 %"));

  WindowFields back;
  platform.ExchangeData(back, ExchangeDirection::kRead);
  o.caseSensitive = 1;  // a tick reads back as 1
  EXPECT_EQ(back.options, o);
  EXPECT_EQ(back.statusText, "status");
  EXPECT_EQ(back.percentText, "42 %");
}

TEST_F(PlatformTest, TextsThatDoNotDecodeReadBackAsWrittenUntilTheUserChangesThem) {
  QtWindowServices& platform = window->services();
  WindowFields fields;
  fields.options.searchText = "caf\xE9";
  fields.statusText = "/tmp/caf\xE9.htm";
  platform.ExchangeData(fields, ExchangeDirection::kWrite);
  WindowFields back;
  platform.ExchangeData(back, ExchangeDirection::kRead);
  EXPECT_EQ(back.options.searchText, "caf\xE9");
  EXPECT_EQ(back.statusText, "/tmp/caf\xE9.htm");

  TypeInto(ids::kSearchText, QStringLiteral("!"));
  platform.ExchangeData(back, ExchangeDirection::kRead);
  EXPECT_EQ(back.options.searchText, ToStd(Get<QLineEdit>(ids::kSearchText)->text()));
}

TEST_F(PlatformTest, TextCutByAnEditFieldReadsBackAsShown) {
  QtWindowServices& platform = window->services();
  WindowFields fields;
  fields.options.removeText = std::string(40000, 'r');
  platform.ExchangeData(fields, ExchangeDirection::kWrite);
  const int limit = Get<QLineEdit>(ids::kRemoveText)->maxLength();
  ASSERT_LT(limit, 40000);
  WindowFields back;
  platform.ExchangeData(back, ExchangeDirection::kRead);
  EXPECT_EQ(back.options.removeText, std::string(static_cast<std::size_t>(limit), 'r'));
}

TEST_F(PlatformTest, AddFilesOpensTheRealDialogAndCancelKeepsEverything) {
  ModalCloser closer;
  Click(ids::kAddFiles);
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].className, QStringLiteral("QFileDialog"));
  EXPECT_EQ(closer.seen()[0].owner, window.get());
  EXPECT_EQ(Status(), QStringLiteral("OK. Drag and drop files."));
  EXPECT_TRUE(Listed().empty());
}

TEST_F(PlatformTest, FileChosenInTheRealDialogIsListed) {
  const std::string path = WriteFile(dir, QStringLiteral("chosen.htm"), "x");
  ModalCloser closer([&](QWidget& modal) {
    auto& files = static_cast<QFileDialog&>(modal);
    files.setDirectory(dir.path());
    files.selectFile(QStringLiteral("chosen.htm"));
    QMetaObject::invokeMethod(&files, "accept");
  });
  Click(ids::kAddFiles);
  EXPECT_EQ(Listed(), std::vector<std::string>{path});
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 1"));
}

}  // namespace
}  // namespace quillmere::test
