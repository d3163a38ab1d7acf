#include "main_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <thread>

#include "about_dlg.h"
#include "app_icon.h"
#include "cleaning_groups.h"
#include "code_page_dlg.h"
#include "code_page_setting.h"
#include "file_list_view.h"
#include "focus_return.h"
#include "little_help.h"
#include "preview_dlg.h"
#include "resource_ids.h"
#include "static_text.h"
#include "string_table.h"
#include "system_files.h"
#include "texts.h"
#include "translation.h"

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
      ownFiles_(files == nullptr),
      files_(files ? std::move(files) : MakeSystemFileStore()),
      journal_(*files_),
      appIcon_(AppIcon()),
      built_(BuildDialog(*this, MainDialogTemplate(), appIcon_)),
      typed_(TypedControls(built_.controls)),
      services_(*this, built_.controls, typed_),
      logic_(services_, journal_) {
  // The system's files take a worker per core; a store given for tests is
  // shared by nobody.
  if (ownFiles_) {
    logic_.RunOnWorkers(MakeSystemFileStore,
                        static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
  }
  logic_.SetLegacyCodePage(LoadCodePageSetting(DefaultStateFolder()));
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
  typed_.fileList->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(typed_.fileList, &QWidget::customContextMenuRequested, this, &CMainDlg::OnListMenu);
  // From the keyboard (Shift+F10, the Menu key) the menu opens below the
  // focused item.
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), typed_.fileList, nullptr,
                                nullptr, Qt::WidgetShortcut);
  connect(menuKey, &QShortcut::activated, this, [this] { OnListMenu(FocusedItemPoint()); });
  typed_.fileList->installEventFilter(this);
  auto* remove =
      new QShortcut(QKeySequence::Delete, typed_.fileList, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove, &QShortcut::activated, this, &CMainDlg::OnRemoveSelected);
  // Ctrl+Z stays the edit fields' own undo.
  auto* undo = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")), this);
  connect(undo, &QShortcut::activated, this, &CMainDlg::OnUndoLastRun);
  connect(typed_.fileList, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { OpenPreview(typed_.fileList->path(index.row())); });
  auto* preview = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+P")), this);
  connect(preview, &QShortcut::activated, this, &CMainDlg::OnPreviewSelected);
}

// Each edit field is read out by the caption that labels it.
void CMainDlg::NameControlsForScreenReaders() {
  constexpr std::pair<int, int> kFieldLabels[] = {
      {ids::kRemoveText, ids::kRemoveTextEnabled}, {ids::kBlockBegin, ids::kBlockBeginLabel},
      {ids::kBlockEnd, ids::kBlockEndLabel},       {ids::kSearchText, ids::kSearchEnabled},
      {ids::kReplaceText, ids::kReplaceLabel},
  };
  for (const auto& [field, label] : kFieldLabels) {
    const QWidget* caption = control(label);
    QString name = caption->property("text").toString();
    if (const auto* text = qobject_cast<const StaticText*>(caption)) name = text->text();
    name.remove(QRegularExpression(QStringLiteral("\\s*:\\s*$")));
    control(field)->setAccessibleName(name);
  }
  typed_.fileList->setAccessibleName(Tr(texts::kFilesName));
  typed_.progressBar->setAccessibleName(Tr(texts::kProgressBarName));
}

void CMainDlg::OnInitWindow() {
  NameControlsForScreenReaders();
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
  const FocusReturn focusBack(*this);
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
  if (startsRun) typed_.fileList->setFailures({});
  logic_.OnStart();
  if (!startsRun || logic_.running()) return;
  ShowFailures();
  // Away from START, so that one more Enter starts nothing; that also lets go
  // of a press on START made during the run.
  typed_.addFiles->setFocus();
  // A press made during the run and released only now would read as START:
  // the user meant STOP, so its click is dropped.
  staleStartPress_ = typed_.start->isDown();
}

void CMainDlg::ShowFailures() {
  std::unordered_map<std::string, QString> failed;
  for (const MainWindowLogic::Failure& failure : logic_.failures()) {
    failed[failure.path] = FromBytes(failure.reason);
  }
  typed_.fileList->setFailures(std::move(failed));
}

void CMainDlg::OnChooseCodePage() {
  CCodePageDlg box(this, logic_.legacyCodePage());
  if (box.exec() != QDialog::Accepted) return;
  logic_.OnCodePageChosen(box.chosen(), DefaultStateFolder());
}

void CMainDlg::OnListMenu(const QPoint& at) {
  if (logic_.busy()) return;
  QMenu menu(this);
  // Each item with its access key: its first letter.
  const auto withKey = [](const char* text) { return QStringLiteral("&") + Tr(text); };
  menu.addAction(withKey(texts::kAddFolder), this, &CMainDlg::OnAddFolder);
  const std::vector<std::string> selected = typed_.fileList->selectedPaths();
  QAction* remove =
      menu.addAction(withKey(texts::kRemoveSelected), this, &CMainDlg::OnRemoveSelected);
  remove->setShortcut(QKeySequence::Delete);
  remove->setEnabled(!selected.empty());
  QAction* open = menu.addAction(withKey(texts::kOpenFolder), this,
                                 [this, selected] { OpenContainingFolder(selected.front()); });
  open->setEnabled(selected.size() == 1);
  QAction* preview = menu.addAction(withKey(texts::kPreviewChanges), this,
                                    [this, selected] { OpenPreview(selected.front()); });
  preview->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+P")));
  preview->setEnabled(selected.size() == 1);
  menu.addAction(withKey(texts::kCodePageItem), this, &CMainDlg::OnChooseCodePage);
  menu.addSeparator();
  QAction* undo = menu.addAction(withKey(texts::kUndoLastRun), this, &CMainDlg::OnUndoLastRun);
  undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
  menu.exec(typed_.fileList->viewport()->mapToGlobal(at));
}

void CMainDlg::OnAddFolder() {
  // Back where it was once the folder's files are in, not only once the
  // dialog is gone: the controls are locked meanwhile.
  const FocusReturn focusBack(*this);
  const std::optional<std::string> folder = services_.ChooseFolder();
  if (folder) logic_.OnAddFolder(*folder);
}

void CMainDlg::OnRemoveSelected() {
  if (logic_.busy()) return;
  const std::vector<std::string> selected = typed_.fileList->selectedPaths();
  if (selected.empty()) return;
  logic_.RemovePaths(selected);
  typed_.fileList->remove(selected);
}

void CMainDlg::OpenContainingFolder(const std::string& path) {
  const QFileInfo file(FromBytes(path));
  QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
}

void CMainDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnScreen();
  // The window manager tells the frame's size only once it has framed the
  // window; the window is put in the middle again then.
  for (const int delay : {50, 200, 600}) {
    QTimer::singleShot(delay, this, &CMainDlg::CentreOnScreen);
  }
}

void CMainDlg::CentreOnScreen() {
  // Where the window's inside stands tells a move by the user; its frame may
  // have grown meanwhile.
  if (centredAt_ && geometry().topLeft() != *centredAt_) return;
  const QRect available = screen()->availableGeometry();
  move(pos() + available.center() - frameGeometry().center());
  centredAt_ = geometry().topLeft();
}

void CMainDlg::OnPreviewSelected() {
  // The only selected file, or with none selected the focused one.
  const std::vector<std::string> selected = typed_.fileList->selectedPaths();
  const QModelIndex focused = typed_.fileList->currentIndex();
  if (selected.size() == 1) {
    OpenPreview(selected.front());
  } else if (selected.empty() && focused.isValid()) {
    OpenPreview(typed_.fileList->path(focused.row()));
  }
}

QPoint CMainDlg::FocusedItemPoint() const {
  const QModelIndex focused = typed_.fileList->currentIndex();
  if (!focused.isValid()) return {};
  return typed_.fileList->visualRect(focused).bottomLeft();
}

void CMainDlg::OpenPreview(const std::string& path) {
  if (logic_.busy()) return;
  // The options as the window shows them now, as a run would take them.
  ExchangeData(ExchangeDirection::kRead);
  auto* preview = new CPreviewDlg(this, *files_, path, logic_.RunOptions());
  preview->setAttribute(Qt::WA_DeleteOnClose);
  connect(preview, &QDialog::finished, this,
          [this, had = QPointer<QWidget>(focusWidget())] { ReturnFocus(*this, had); });
  preview_ = preview;
  preview->open();
}

void CMainDlg::OnUndoLastRun() {
  if (logic_.busy()) return;
  const FocusReturn focusBack(*this);
  logic_.OnUndoLastRun();
  // The files left alone are marked with their reasons.
  ShowFailures();
}

void CMainDlg::accept() {
  if (logic_.busy()) return;
  ExchangeData(ExchangeDirection::kRead);
  QDialog::accept();
}

void CMainDlg::done(int result) {
  if (logic_.busy()) return;
  QDialog::done(result);
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (logic_.busy()) {
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
  // Where no system menu offers it, Shift+F1 opens the About box.
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::ShiftModifier) {
    OnAboutLabel();
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
  // The Menu key: the menu below the focused item, not at the pointer.
  if (watched == typed_.fileList && event->type() == QEvent::ContextMenu &&
      static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
    OnListMenu(FocusedItemPoint());
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
  if (!logic_.busy() && DroppedPaths(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainDlg::dropEvent(QDropEvent* event) {
  const auto paths = DroppedPaths(event->mimeData());
  if (!paths || logic_.busy()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  const FocusReturn focusBack(*this);  // the controls are locked while the files come in
  logic_.OnDropFiles(*paths);
}

}  // namespace quillmere
