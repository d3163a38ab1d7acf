#include "main_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <optional>

#include "about_dlg.h"
#include "app_icon.h"
#include "cleaning_options.h"
#include "little_help.h"
#include "resource_ids.h"
#include "static_text.h"
#include "system_menu.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include "system_command.h"
#endif

namespace quillmere {
namespace {

// The local paths of a drop in the system's own form, or nothing when it
// carries anything else (text alone, remote addresses). A folder is a path
// like any other.
std::optional<std::vector<std::string>> DroppedPaths(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  std::vector<std::string> paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return std::nullopt;
    paths.push_back(ToBytes(QDir::toNativeSeparators(url.toLocalFile())));
  }
  if (paths.empty()) return std::nullopt;
  return paths;
}

bool IsEnter(const QKeyEvent& event) {
  return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent, std::unique_ptr<FileStore> files)
    : QDialog(parent),
      files_(files ? std::move(files) : MakeSystemFileStore()),
      platform_(*this, built_.controls),
      run_(platform_, fields_, *files_),
      fileList_(platform_, fields_, run_),
      appIcon_(AppIcon()) {
  built_ = BuildDialog(*this, MainDialogTemplate(), appIcon_);
  WireEvents();
  OnInitWindow();
}

CMainDlg::~CMainDlg() = default;

QWidget* CMainDlg::control(int id) const {
  const auto found = built_.controls.find(id);
  return found == built_.controls.end() ? nullptr : found->second;
}

QPushButton* CMainDlg::startButton() const {
  return qobject_cast<QPushButton*>(control(ids::kStart));
}

void CMainDlg::WireEvents() {
  const auto button = [this](int id) { return qobject_cast<QPushButton*>(control(id)); };
  const auto label = [this](int id) { return qobject_cast<StaticText*>(control(id)); };
  connect(button(ids::kAddFiles), &QPushButton::clicked, this, [this] { fileList_.OnAddFiles(); });
  connect(button(ids::kClear), &QPushButton::clicked, this, [this] { fileList_.OnClear(); });
  connect(button(ids::kStart), &QPushButton::clicked, this, &CMainDlg::OnStartClicked);
  connect(button(ids::kStart), &QPushButton::pressed, this, [this] {
    if (!run_.running()) staleStartPress_ = false;
  });
  connect(button(ids::kExit), &QPushButton::clicked, this, &CMainDlg::accept);
  connect(qobject_cast<QCheckBox*>(control(ids::kPdaPreset)), &QCheckBox::clicked, this,
          &CMainDlg::ApplyPdaPreset);
  connect(label(ids::kAboutLabel), &StaticText::clicked, this, &CMainDlg::OnAboutLabel);
  connect(label(ids::kHelpLabel), &StaticText::clicked, this, &CMainDlg::OnLittleHelp);
  startButton()->installEventFilter(this);
}

void CMainDlg::OnInitWindow() {
  ExchangeData(ExchangeDirection::kWrite);
  InstallSystemMenu(*this);
  setWindowIcon(appIcon_);
  fields_.statusText = "OK. Drag and drop files.";
  platform_.SetProgress(0);
  fields_.percentText = "0 %";
  ExchangeData(ExchangeDirection::kWrite);
  control(ids::kFileList)->setFocus();
}

void CMainDlg::ExchangeData(ExchangeDirection direction) {
  platform_.ExchangeData(fields_, direction);
}

void CMainDlg::ApplyPdaPreset() {
  ExchangeData(ExchangeDirection::kRead);
  SetPdaSwitches(fields_.options);
  ExchangeData(ExchangeDirection::kWrite);
}

void CMainDlg::ShowAboutBox() {
  CAboutDlg box(this);
  box.exec();
}

void CMainDlg::OnAboutLabel() {
  ShowAboutBox();
}

void CMainDlg::OnLittleHelp() {
  ShowLittleHelp(platform_);
}

void CMainDlg::OnStartClicked() {
  if (staleStartPress_) {
    staleStartPress_ = false;
    return;
  }
  const bool startsRun = !run_.running();
  run_.OnStart();
  // A press made during the run and released only now reads as START: the
  // user meant STOP, so its click is dropped.
  if (startsRun) staleStartPress_ = startButton()->isDown();
}

void CMainDlg::accept() {
  if (run_.running()) return;
  ExchangeData(ExchangeDirection::kRead);
  QDialog::accept();
}

void CMainDlg::done(int result) {
  if (run_.running()) return;
  QDialog::done(result);
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (!run_.AllowClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    OnLittleHelp();
    return;
  }
  // Events handed on by the run's draining get no dialog keys.
  if (run_.running() && (IsEnter(*event) || event->key() == Qt::Key_Escape)) return;
  QDialog::keyPressEvent(event);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  // START is the one control that can hold the focus during a run; Enter on it
  // must not act as a click there.
  if (watched == startButton() && run_.running() && event->type() == QEvent::KeyPress &&
      IsEnter(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
  AcceptLocalFiles(event);
}

void CMainDlg::dragMoveEvent(QDragMoveEvent* event) {
  AcceptLocalFiles(event);
}

void CMainDlg::AcceptLocalFiles(QDragMoveEvent* event) {
  if (!run_.running() && DroppedPaths(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainDlg::dropEvent(QDropEvent* event) {
  const auto paths = DroppedPaths(event->mimeData());
  if (!paths || run_.running()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  fileList_.OnDropFiles(*paths);
}

#ifdef Q_OS_WIN
bool CMainDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message == WM_SYSCOMMAND) {
    switch (DecideSystemCommand(static_cast<unsigned>(msg->wParam), run_.running())) {
      case SystemCommandAction::kIgnore:
        *result = 0;
        return true;
      case SystemCommandAction::kShowAbout:
        ShowAboutBox();
        *result = 0;
        return true;
      case SystemCommandAction::kDefault:
        break;
    }
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

}  // namespace quillmere
