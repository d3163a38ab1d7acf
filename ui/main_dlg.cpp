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
#include "cleaning_groups.h"
#include "file_list_view.h"
#include "little_help.h"
#include "resource_ids.h"
#include "static_text.h"

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

// The typed controls of a window the template built; a template that lacks
// one of them is a fault of the program itself, found before any use.
static MainControls TypedControls(const ControlMap& built) {
  FoundControls found = FindMainControls(built);
  if (!found.missing.empty()) qFatal("main window template: %s", found.missing.c_str());
  return found.controls;
}

CMainDlg::CMainDlg(QWidget* parent, std::unique_ptr<FileStore> files)
    : QDialog(parent),
      files_(files ? std::move(files) : MakeSystemFileStore()),
      appIcon_(AppIcon()),
      built_(BuildDialog(*this, MainDialogTemplate(), appIcon_)),
      typed_(TypedControls(built_.controls)),
      services_(*this, built_.controls, typed_),
      logic_(services_, *files_) {
  WireEvents();
  OnInitWindow();
}

CMainDlg::~CMainDlg() = default;

QWidget* CMainDlg::control(int id) const {
  const auto found = built_.controls.find(id);
  return found == built_.controls.end() ? nullptr : found->second;
}

void CMainDlg::WireEvents() {
  connect(typed_.addFiles, &QPushButton::clicked, this, [this] { logic_.OnAddFiles(); });
  connect(typed_.clear, &QPushButton::clicked, this, [this] { logic_.OnClear(); });
  connect(typed_.start, &QPushButton::clicked, this, &CMainDlg::OnStartClicked);
  connect(typed_.start, &QPushButton::pressed, this, [this] {
    if (!logic_.running()) staleStartPress_ = false;
  });
  connect(typed_.exit, &QPushButton::clicked, this, &CMainDlg::accept);
  connect(typed_.checkBoxes.at(ids::kPdaPreset), &QCheckBox::clicked, this,
          &CMainDlg::ApplyPdaPreset);
  connect(typed_.aboutLabel, &StaticText::clicked, this, &CMainDlg::OnAboutLabel);
  connect(typed_.helpLabel, &StaticText::clicked, this, &CMainDlg::OnLittleHelp);
  typed_.start->installEventFilter(this);
}

void CMainDlg::OnInitWindow() {
  setWindowIcon(appIcon_);
  logic_.OnInitWindow();
  typed_.fileList->setFocus();
}

void CMainDlg::ExchangeData(ExchangeDirection direction) {
  services_.ExchangeData(logic_.fields(), direction);
}

void CMainDlg::ApplyPdaPreset() {
  logic_.ApplyPdaPreset();
}

void CMainDlg::ShowAboutBox() {
  CAboutDlg box(this);
  box.exec();
}

void CMainDlg::OnAboutLabel() {
  ShowAboutBox();
}

void CMainDlg::OnLittleHelp() {
  ShowLittleHelp(services_);
}

void CMainDlg::OnStartClicked() {
  if (staleStartPress_) {
    staleStartPress_ = false;
    return;
  }
  const bool startsRun = !logic_.running();
  logic_.OnStart();
  // A press made during the run and released only now reads as START: the
  // user meant STOP, so its click is dropped.
  if (startsRun) staleStartPress_ = typed_.start->isDown();
}

void CMainDlg::accept() {
  if (logic_.running()) return;
  ExchangeData(ExchangeDirection::kRead);
  QDialog::accept();
}

void CMainDlg::done(int result) {
  if (logic_.running()) return;
  QDialog::done(result);
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (logic_.running()) {
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
  if (logic_.running() && (IsEnter(*event) || event->key() == Qt::Key_Escape)) return;
  QDialog::keyPressEvent(event);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  // START is the one control that can hold the focus during a run; Enter on it
  // must not act as a click there.
  if (watched == typed_.start && logic_.running() && event->type() == QEvent::KeyPress &&
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
  if (!logic_.running() && DroppedPaths(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainDlg::dropEvent(QDropEvent* event) {
  const auto paths = DroppedPaths(event->mimeData());
  if (!paths || logic_.running()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  logic_.OnDropFiles(*paths);
}

}  // namespace quillmere
