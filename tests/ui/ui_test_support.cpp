#include "ui_test_support.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "file_list_view.h"
#include "qt_window_services.h"
#include "resource_ids.h"
#include "static_text.h"

namespace quillmere::test {

LoadedFile ObservedStore::Load(const std::string& path) {
  loaded.push_back(path);
  if (onLoad) onLoad(path);
  return system_->Load(path);
}

std::optional<FileError> ObservedStore::Save(const std::string& path, const std::string& text) {
  saved.push_back(path);
  return system_->Save(path, text);
}

std::string ToStd(const QString& text) {
  return ToBytes(text);
}

std::string WriteFile(const QTemporaryDir& dir, const QString& name, const std::string& content) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) ADD_FAILURE() << "cannot write " << ToStd(path);
  file.write(content.data(), static_cast<qint64>(content.size()));
  return ToBytes(path);
}

std::string ReadFile(const std::string& path) {
  QFile file(FromBytes(path));
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void Queue(std::function<void()> action) {
  QTimer::singleShot(0, qApp, std::move(action));
}

QMimeData* LocalFilesData(const std::vector<std::string>& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(FromBytes(path));
  data->setUrls(urls);
  return data;
}

bool SendDrop(QWidget& target, QMimeData* data) {
  const std::unique_ptr<QMimeData> owned(data);
  const QPoint where = target.rect().center();
  QDragEnterEvent enter(where, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(where), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &drop);
  return drop.isAccepted();
}

void MainWindowTest::SetUp() {
  ASSERT_TRUE(dir.isValid());
  // Each window keeps its runs' undo journals in a state folder of its own.
  qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toLocal8Bit());
  auto observed = std::make_unique<ObservedStore>();
  store = observed.get();
  window = std::make_unique<CMainDlg>(nullptr, std::move(observed));
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowTest::TearDown() {
  window.reset();
}

QString MainWindowTest::Status() const {
  return Get<StaticText>(ids::kStatusLine)->text();
}

QString MainWindowTest::Percent() const {
  return Get<StaticText>(ids::kPercentLabel)->text();
}

int MainWindowTest::Progress() const {
  return Get<QProgressBar>(ids::kProgressBar)->value();
}

std::vector<std::string> MainWindowTest::Listed() const {
  std::vector<std::string> paths;
  const FileListView& list = *window->typed().fileList;
  for (int i = 0; i < list.count(); ++i) {
    paths.push_back(list.path(i));
  }
  return paths;
}

void MainWindowTest::Click(int id) {
  QWidget* control = window->control(id);
  QPoint where = control->rect().center();
  if (qobject_cast<QCheckBox*>(control) != nullptr) {
    where.setX(control->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 1);
  }
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, where);
}

void MainWindowTest::AddByDialog(const std::vector<std::string>& paths) {
  window->services().SetNextChosenFiles(paths);
  Click(ids::kAddFiles);
}

void MainWindowTest::TypeInto(int id, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(window->control(id));
  edit->setFocus();
  edit->selectAll();
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(edit, c.toLatin1());
    } else {
      // Keys beyond ASCII come as text, as an input method delivers them.
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(edit, &press);
    }
  }
}

}  // namespace quillmere::test
