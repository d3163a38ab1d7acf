// The main window as it opens: its state, its look and its layout.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>

#include "dialog_template.h"
#include "file_list_view.h"
#include "resource_ids.h"
#include "static_text.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

using LayoutTest = MainWindowTest;

constexpr int kFrameSlack = 50;

QRect Rect(const CMainDlg& window, int id) {
  return window.control(id)->geometry();
}

TEST_F(LayoutTest, FreshWindowShowsTheOpeningState) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillmere"));
  EXPECT_EQ(Status(), QStringLiteral("OK. Drag and drop files."));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));
  EXPECT_EQ(Progress(), 0);
  EXPECT_EQ(Get<QProgressBar>(ids::kProgressBar)->minimum(), 0);
  EXPECT_EQ(Get<QProgressBar>(ids::kProgressBar)->maximum(), 100);
  EXPECT_EQ(Get<QPushButton>(ids::kStart)->text(), QStringLiteral("START"));
  EXPECT_TRUE(Listed().empty());
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    QWidget* widget = window->control(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    EXPECT_TRUE(widget->isEnabled()) << control.id;
    EXPECT_TRUE(widget->isVisible()) << control.id;
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      EXPECT_FALSE(box->isChecked()) << control.id;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      EXPECT_TRUE(edit->text().isEmpty()) << control.id;
    }
  }
  EXPECT_EQ(window->focusWidget(), window->control(ids::kFileList));
  EXPECT_EQ(window->fields().options, CleaningOptions{});
  EXPECT_FALSE(window->running());
}

TEST_F(LayoutTest, WindowHasAFixedSizeNoMaximiseButAnIcon) {
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_FALSE(window->windowIcon().pixmap(16, 16).isNull());
  // 317 x 214 dialog units in the chosen base units.
  const BaseUnits units = window->baseUnits();
  EXPECT_NEAR(window->width(), 317 * units.x / 4, 1.0);
  EXPECT_NEAR(window->height(), 214 * units.y / 8, 1.0);
}

TEST_F(LayoutTest, WindowOpensCentredOnTheScreen) {
  const QRect screen = window->screen()->availableGeometry();
  const QPoint centre = window->frameGeometry().center();
  // Before a window manager has framed the window its frame is estimated, so
  // the centre may be off by part of a title bar.
  EXPECT_NEAR(centre.x(), screen.center().x(), kFrameSlack);
  EXPECT_NEAR(centre.y(), screen.center().y(), kFrameSlack);
}

void ExpectEveryCaptionFits(const CMainDlg& window) {
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    QWidget* widget = window.control(control.id);
    const QFontMetrics metrics = widget->fontMetrics();
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect label = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      EXPECT_LE(metrics.horizontalAdvance(box->text()), label.width()) << control.caption;
      EXPECT_LE(metrics.height(), box->height()) << control.caption;
      EXPECT_LE(box->style()->pixelMetric(QStyle::PM_IndicatorHeight), box->height());
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.features = QStyleOptionButton::AutoDefaultButton;
      const QRect label =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      EXPECT_LE(metrics.horizontalAdvance(button->text()), label.width()) << control.caption;
      EXPECT_LE(metrics.height(), label.height()) << control.caption;
    } else if (auto* text = qobject_cast<StaticText*>(widget)) {
      // The template's caption, also where the window shows another text now.
      const QString caption = QString::fromLatin1(control.caption);
      const int room = text->contentsRect().width() - 2 * text->textMargin();
      EXPECT_LE(metrics.horizontalAdvance(caption), room) << control.caption;
      EXPECT_LE(metrics.height(), text->contentsRect().height()) << control.caption;
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      EXPECT_LE(metrics.height() + 4, edit->height());
    }
  }
}

TEST_F(LayoutTest, EveryCaptionFitsItsControl) {
  ExpectEveryCaptionFits(*window);
}

// Fonts that a style sheet gives the controls are the ones measured.
class StyleSheetLayoutTest : public ::testing::TestWithParam<const char*> {};

TEST_P(StyleSheetLayoutTest, EveryCaptionFitsInTheStyleSheetsFont) {
  qApp->setStyleSheet(QString::fromUtf8(GetParam()));
  {
    CMainDlg window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ExpectEveryCaptionFits(window);
  }
  qApp->setStyleSheet(QString());
}

INSTANTIATE_TEST_SUITE_P(Fonts, StyleSheetLayoutTest,
                         ::testing::Values("* { font-size: 13pt; }",
                                           "* { font: bold 10pt serif; }"));

TEST_F(LayoutTest, RightAlignedColonsStandInOneColumn) {
  // The caption's end: a label's text ends at its right edge; the check
  // box's text is measured from its indicator.
  const auto end = [&](int id) { return Rect(*window, id).right(); };
  auto* search = Get<QCheckBox>(ids::kSearchEnabled);
  QStyleOptionButton option;
  option.initFrom(search);
  option.text = search->text();
  const QRect contents =
      search->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, search);
  const int searchEnd =
      search->x() + contents.left() + search->fontMetrics().horizontalAdvance(search->text());
  for (const int label : {ids::kBlockBeginLabel, ids::kBlockEndLabel, ids::kReplaceLabel}) {
    EXPECT_NEAR(searchEnd, end(label), 2);
  }
}

TEST_F(LayoutTest, StatusLineWrapsALongPathWithoutSpacesOntoItsSecondLine) {
  auto* status = Get<StaticText>(ids::kStatusLine);
  // A path about one and a half lines long.
  std::string path = "/home/user/";
  while (status->fontMetrics().horizontalAdvance(QString::fromStdString(path + "/page.html")) <
         status->width() * 3 / 2) {
    path += 'x';
  }
  path += "/page.html";
  window->services().ListInsertAtTop(path);
  WindowFields fields = window->fields();
  fields.statusText = path;
  window->services().ExchangeData(fields, ExchangeDirection::kWrite);
  EXPECT_GE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
  EXPECT_EQ(status->lineCount(), 2);
  EXPECT_EQ(status->visibleLineCount(), 2);
  // What reads back is the path, not some text made for display.
  fields.statusText.clear();
  window->services().ExchangeData(fields, ExchangeDirection::kRead);
  EXPECT_EQ(fields.statusText, path);
  // The percentage label does not wrap.
  auto* percent = Get<StaticText>(ids::kPercentLabel);
  percent->setText(QStringLiteral("100 % 100 % 100 % 100 %"));
  EXPECT_EQ(percent->lineCount(), 1);
}

TEST_F(LayoutTest, TabOrderFollowsTheTemplateAndSkipsLabels) {
  std::vector<QWidget*> stops;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    QWidget* widget = window->control(control.id);
    const bool tabStop = (control.styles & style::kTabStop) != 0;
    EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, tabStop) << control.id;
    if (tabStop) stops.push_back(widget);
  }
  ASSERT_EQ(stops.size(), 23u);
  for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
    QWidget* next = stops[i]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    EXPECT_EQ(next, stops[i + 1]) << i;
  }
}

TEST_F(LayoutTest, LayoutReadsTopToBottomAsDesigned) {
  const CMainDlg& w = *window;
  // Buttons at the top left, the list to their right, the labels above it.
  EXPECT_LT(Rect(w, ids::kAddFiles).right(), Rect(w, ids::kClear).left());
  EXPECT_LT(Rect(w, ids::kClear).right(), Rect(w, ids::kFileList).left());
  EXPECT_LT(Rect(w, ids::kHelpLabel).bottom(), Rect(w, ids::kFileList).top());
  EXPECT_LT(Rect(w, ids::kHelpLabel).right(), Rect(w, ids::kAboutLabel).left());
  // Left column under "Remove :".
  EXPECT_LT(Rect(w, ids::kConvertTables).bottom(), Rect(w, ids::kRemoveHeading).top());
  EXPECT_LT(Rect(w, ids::kRemoveHeading).bottom(), Rect(w, ids::kRemoveScripts).top() + 1);
  // Right-aligned labels end just before their edit fields.
  const int gap = static_cast<int>(6 * w.baseUnits().x / 4);
  for (const auto& [label, edit] : {std::pair{ids::kBlockBeginLabel, ids::kBlockBegin},
                                    {ids::kBlockEndLabel, ids::kBlockEnd},
                                    {ids::kReplaceLabel, ids::kReplaceText},
                                    {ids::kSearchEnabled, ids::kSearchText}}) {
    EXPECT_LT(Rect(w, label).right(), Rect(w, edit).left()) << label;
    EXPECT_GT(Rect(w, label).right(), Rect(w, edit).left() - gap) << label;
  }
  // Along the bottom: label, bar, START, Exit; under them the status line.
  EXPECT_LT(Rect(w, ids::kPercentLabel).right(), Rect(w, ids::kProgressBar).left() + 1);
  EXPECT_LT(Rect(w, ids::kProgressBar).right(), Rect(w, ids::kStart).left());
  EXPECT_LT(Rect(w, ids::kStart).right(), Rect(w, ids::kExit).left());
  EXPECT_LT(Rect(w, ids::kExit).bottom(), Rect(w, ids::kStatusLine).top());
  EXPECT_GT(Rect(w, ids::kStatusLine).width(), w.width() * 9 / 10);
}

TEST_F(LayoutTest, ClickLabelsShowTheyAreLinks) {
  auto* heading = Get<StaticText>(ids::kRemoveHeading);
  for (StaticText* link : {Get<StaticText>(ids::kAboutLabel), Get<StaticText>(ids::kHelpLabel)}) {
    EXPECT_TRUE(link->notifies());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(link->font().underline());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->font().underline());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_FALSE(link->font().underline());
  }
  EXPECT_FALSE(heading->notifies());
  EXPECT_EQ(heading->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LayoutTest, FileListIsAListOfPathsInColumns) {
  auto* list = Get<FileListView>(ids::kFileList);
  EXPECT_EQ(list->viewMode(), QListView::ListMode);
  EXPECT_EQ(list->flow(), QListView::TopToBottom);
  EXPECT_TRUE(list->isWrapping());
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  const std::string longest = "/a/much/longer/path/than/the/others/index.html";
  for (const std::string& path : {std::string("/a.htm"), longest, std::string("/b.txt")}) {
    window->services().ListInsertAtTop(path);
  }
  window->services().ListFitColumn();
  EXPECT_GE(list->columnWidth(),
            list->fontMetrics().horizontalAdvance(QString::fromStdString(longest)));
  // Enough items fill the first column and go on in a second one to its right.
  for (int i = 0; i < 40; ++i) window->services().ListInsertAtTop("/f" + std::to_string(i));
  window->services().ListFitColumn();
  list->doItemsLayout();
  const QRect first = list->visualRect(list->model()->index(0, 0));
  const QRect last = list->visualRect(list->model()->index(42, 0));
  EXPECT_GT(last.left(), first.left());
  // After CLR the column fits the new paths alone.
  const int wide = list->columnWidth();
  window->services().ListDeleteAll();
  window->services().ListInsertAtTop("/a");
  window->services().ListFitColumn();
  EXPECT_LT(list->columnWidth(), wide / 2);
}

TEST_F(LayoutTest, ScreenshotOfTheWindow) {
  for (const char* path : {"/home/user/site/index.html", "/home/user/site/about.html",
                           "/home/user/site/news/2024.htm", "/home/user/notes.txt"}) {
    window->services().ListInsertAtTop(path);
  }
  window->services().ListFitColumn();
  Click(ids::kPdaPreset);
  Click(ids::kRemoveBlockEnabled);
  TypeInto(ids::kBlockBegin, QStringLiteral("<!--"));
  TypeInto(ids::kBlockEnd, QStringLiteral("-->"));
  WindowFields fields;
  window->services().ExchangeData(fields, ExchangeDirection::kRead);
  fields.statusText = "OK.Selected files : 4";
  window->services().ExchangeData(fields, ExchangeDirection::kWrite);
  window->control(ids::kFileList)->setFocus();
  QCoreApplication::processEvents();
  const QPixmap shot = window->grab();
  EXPECT_EQ(shot.size(), window->size() * shot.devicePixelRatio());
  EXPECT_TRUE(shot.save(QStringLiteral(QUILLMERE_SCREENSHOT_DIR "/main-window.png")));
}

}  // namespace
}  // namespace quillmere::test
