// The code page of older files, chosen in its box from the file list's menu
// and kept in the state folder.
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "code_page_dlg.h"
#include "file_list_view.h"
#include "modal_closer.h"
#include "param_name.h"
#include "resource_ids.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

constexpr const char* kItem = "&Code page of older files...";
// "привет X" in windows-1251, and the same with "мир" for "привет".
constexpr const char* kHelloIn1251 = "\xEF\xF0\xE8\xE2\xE5\xF2 X";
constexpr const char* kWorldIn1251 = "\xEC\xE8\xF0 X";

struct BoxCase {
  std::string name;
  std::string stored;    // the state file before the window opens; empty: none
  QString shownFirst;    // the row selected when the box opens
  QString pick;          // the row the user selects
  bool ok;               // OK, else Cancel
  std::string kept;      // the state file afterwards
  std::string afterRun;  // the windows-1251 file after a run
};

using test::PrintTo;

class CodePageBoxTest : public MainWindowTest, public ::testing::WithParamInterface<BoxCase> {
 protected:
  void SetUp() override {
    if (!GetParam().stored.empty()) {
      ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("state/quillmere"))));
      WriteFile(dir, QStringLiteral("state/quillmere/code-page"), GetParam().stored);
    }
    MainWindowTest::SetUp();
  }

  std::string Kept() const {
    const QString file = dir.filePath(QStringLiteral("state/quillmere/code-page"));
    return QFile::exists(file) ? ReadFile(file.toStdString()) : std::string();
  }

  // Opens the list's menu from the keyboard and chooses the item.
  void ChooseFromTheMenu() {
    FileListView& list = *window->typed().fileList;
    QTimer::singleShot(0, [] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String(kItem)) menu->setActiveAction(action);
      }
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                            list.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&list, &event);
  }
};

TEST_P(CodePageBoxTest, TheBoxShowsTheKeptChoiceAndOkKeepsTheNewOne) {
  const BoxCase& c = GetParam();
  const std::string file = WriteFile(dir, QStringLiteral("old.txt"), kHelloIn1251);
  AddByDialog({file});
  QString shown;
  ModalCloser closer([&](QWidget& box) {
    auto* list = box.findChild<QListWidget*>(QStringLiteral("codePages"));
    if (list == nullptr) return;
    shown = list->currentItem()->text();
    const QList<QListWidgetItem*> pick = list->findItems(c.pick, Qt::MatchExactly);
    if (!pick.isEmpty()) list->setCurrentItem(pick.front());
    auto* buttons = box.findChild<QDialogButtonBox*>();
    buttons->button(c.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
  });
  ChooseFromTheMenu();
  ASSERT_EQ(closer.seen().size(), 1u);
  EXPECT_EQ(closer.seen()[0].title, QStringLiteral("Code page of older files"));
  EXPECT_EQ(shown, c.shownFirst);
  EXPECT_EQ(Kept(), c.kept);

  Click(ids::kSearchEnabled);
  TypeInto(ids::kSearchText, QString::fromUtf8("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"));
  TypeInto(ids::kReplaceText, QString::fromUtf8("\xD0\xBC\xD0\xB8\xD1\x80"));
  Click(ids::kStart);
  EXPECT_EQ(ReadFile(file), c.afterRun);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageBoxTest,
    ::testing::Values(BoxCase{"OkKeepsTheChoice", "", "windows-1252 (this system's)",
                              "windows-1251", true, "windows-1251\n", kWorldIn1251},
                      BoxCase{"CancelKeepsTheKeptOne", "KOI8-R\n", "KOI8-R", "windows-1251", false,
                              "KOI8-R\n", kHelloIn1251},
                      BoxCase{"KeptChoiceIsUsedAtOnce", "windows-1251\n", "windows-1251",
                              "windows-1251", false, "windows-1251\n", kWorldIn1251},
                      BoxCase{"HostileStoredValueIsTheDefault", "..\\..\\windows-1251\xFF",
                              "windows-1252 (this system's)", "KOI8-R", false,
                              "..\\..\\windows-1251\xFF", kHelloIn1251}),
    test::ByName{});

}  // namespace
}  // namespace quillmere::test
