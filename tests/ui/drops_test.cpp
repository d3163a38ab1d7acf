// Files dropped on the main window.
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <set>

#include "modal_closer.h"
#include "resource_ids.h"
#include "static_text.h"
#include "ui_test_support.h"

namespace quillmere::test {
namespace {

class DropsTest : public MainWindowTest {};

TEST_F(DropsTest, DroppedFilesAndTheTextFilesOfAFolderTreeAreListedNewestFirst) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  const std::string b = WriteFile(dir, QStringLiteral("b.txt"), "b");
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sub/deeper")));
  const std::string folder = ToStd(dir.filePath(QStringLiteral("sub")));
  const std::string c = WriteFile(dir, QStringLiteral("sub/c.html"), "c");
  const std::string d = WriteFile(dir, QStringLiteral("sub/deeper/d.TXT"), "d");
  WriteFile(dir, QStringLiteral("sub/picture.png"), "p");
  // A link back up the tree is not followed.
  ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/deeper/up"))));

  EXPECT_TRUE(SendDrop(*window, LocalFilesData({a, b, folder})));
  const std::vector<std::string> listed = Listed();
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(listed.begin() + 2, listed.end()),
            (std::vector<std::string>{b, a}));
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.begin() + 2),
            (std::set<std::string>{c, d}));
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 4"));
  EXPECT_EQ(Percent(), QStringLiteral("0 %"));
  EXPECT_EQ(Progress(), 0);
  EXPECT_TRUE(window->control(ids::kStart)->isEnabled());
  EXPECT_TRUE(window->control(ids::kAddFiles)->isEnabled());
}

TEST_F(DropsTest, DropShowsItsProgressPathByPath) {
  QStringList statuses;
  QStringList percents;
  QObject::connect(Get<StaticText>(ids::kStatusLine), &StaticText::textChanged,
                   [&](const QString& text) { statuses << text; });
  QObject::connect(Get<StaticText>(ids::kPercentLabel), &StaticText::textChanged,
                   [&](const QString& text) { percents << text; });
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  const std::string b = WriteFile(dir, QStringLiteral("b.htm"), "b");
  const std::string c = WriteFile(dir, QStringLiteral("c.htm"), "c");
  EXPECT_TRUE(SendDrop(*window, LocalFilesData({a, b, c})));
  EXPECT_EQ(statuses, (QStringList{QStringLiteral("OK. Files : 0"), QStringLiteral("OK. Files : 1"),
                                   QStringLiteral("OK. Files : 2"),
                                   QStringLiteral("OK.Selected files : 3")}));
  EXPECT_EQ(percents, (QStringList{QStringLiteral("33 %"), QStringLiteral("66 %"),
                                   QStringLiteral("100 %"), QStringLiteral("0 %")}));
}

TEST_F(DropsTest, AlreadyListedPathsAreNotAddedTwiceButCaseCounts) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  const std::string upper = ToStd(dir.filePath(QStringLiteral("A.htm")));
  EXPECT_TRUE(SendDrop(*window, LocalFilesData({a})));
  EXPECT_TRUE(SendDrop(*window, LocalFilesData({a, upper})));
  EXPECT_EQ(Listed(), (std::vector<std::string>{upper, a}));
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 2"));
}

TEST_F(DropsTest, TextAndRemoteAddressesAreRefused) {
  auto* text = new QMimeData;
  text->setText(QStringLiteral("/etc/hostname"));
  EXPECT_FALSE(SendDrop(*window, text));

  auto* remote = new QMimeData;
  remote->setUrls({QUrl(QStringLiteral("https://example.org/page.html"))});
  EXPECT_FALSE(SendDrop(*window, remote));

  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  auto* mixed = LocalFilesData({a});
  mixed->setUrls(mixed->urls() << QUrl(QStringLiteral("https://example.org/")));
  EXPECT_FALSE(SendDrop(*window, mixed));

  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Status(), QStringLiteral("OK. Drag and drop files."));
}

TEST_F(DropsTest, FilesDroppedOnAnEditFieldGoToTheList) {
  const std::string a = WriteFile(dir, QStringLiteral("a.htm"), "a");
  QWidget* edit = window->control(ids::kSearchText);
  EXPECT_FALSE(edit->acceptDrops());
  EXPECT_FALSE(window->control(ids::kFileList)->acceptDrops());
  EXPECT_TRUE(SendDrop(*window, LocalFilesData({a})));
  EXPECT_EQ(Listed(), std::vector<std::string>{a});
}

TEST_F(DropsTest, AFolderItselfNeverEntersTheList) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("empty")));
  EXPECT_TRUE(SendDrop(*window, LocalFilesData({ToStd(dir.filePath(QStringLiteral("empty")))})));
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Status(), QStringLiteral("OK.Selected files : 0"));
}

}  // namespace
}  // namespace quillmere::test
