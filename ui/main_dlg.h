#pragma once

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <memory>

#include "file_store.h"
#include "main_controls.h"
#include "main_window_logic.h"
#include "preview_dlg.h"
#include "qt_window_services.h"
#include "template_builder.h"
#include "window_journal.h"

namespace quillmere {

// The main window, built from template 102: the file list, the option
// controls, START/STOP, Exit, the progress bar with its percentage label, the
// status line and the two click labels. Fixed size, centred on the screen.
class CMainDlg : public QDialog {
  Q_OBJECT

 public:
  // Without a file store the system's is used.
  explicit CMainDlg(QWidget* parent = nullptr, std::unique_ptr<FileStore> files = nullptr);
  ~CMainDlg() override;

  QWidget* control(int id) const;
  const ControlMap& controls() const { return built_.controls; }
  const MainControls& typed() const { return typed_; }
  const BaseUnits& baseUnits() const { return built_.units; }
  QtWindowServices& services() { return services_; }
  WindowFields& fields() { return logic_.fields(); }
  bool running() const { return logic_.running(); }
  MainWindowLogic& logic() { return logic_; }
  bool stopRequested() const { return logic_.stopRequested(); }
  // The preview last opened, while it is open.
  CPreviewDlg* preview() const { return preview_; }
  // Opens the preview of one file with the options the window shows.
  void OpenPreview(const std::string& path);

  void ExchangeData(ExchangeDirection direction);
  // "Set for PDA": ticks or clears its seven boxes, keeping all else shown.
  void ApplyPdaPreset();
  void ShowAboutBox();
  void OnAboutLabel();
  void OnLittleHelp();

 public slots:
  // "Exit": a read exchange, then the window ends (not during a run).
  void accept() override;
  // No way of ending the window works while a run goes on.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  // Accepts a drag that carries local files only, and only while idle.
  void AcceptLocalFiles(QDragMoveEvent* event);
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Puts the window, frame and all, in the middle of its screen, unless it
  // was moved since it was last put there.
  void CentreOnScreen();
  void WireEvents();
  void OnInitWindow();
  void NameControlsForScreenReaders();
  void OnStartClicked();
  // Marks the files that failed in the last run in the list.
  void ShowFailures();
  // The list's context menu at `at` in the list's viewport, and what it offers.
  void OnListMenu(const QPoint& at);
  // Below the focused item, where a menu opened from the keyboard goes.
  QPoint FocusedItemPoint() const;
  void OnAddFolder();
  void OnRemoveSelected();
  void OpenContainingFolder(const std::string& path);
  void OnPreviewSelected();
  // The box of the code page of older files; OK keeps the choice.
  void OnChooseCodePage();
  // "Undo last run": asks, then puts back what the last run changed.
  void OnUndoLastRun();

  bool ownFiles_;  // files_ is the system's, not one given for tests
  std::unique_ptr<FileStore> files_;
  // The runs' undo journals, written as the runs save through files_.
  WindowJournal journal_;
  QIcon appIcon_;
  BuiltDialog built_;
  MainControls typed_;
  QtWindowServices services_;
  MainWindowLogic logic_;
  // START was pressed during a run that has ended since; its click is no START.
  bool staleStartPress_ = false;
  std::optional<QPoint> centredAt_;
  QPointer<CPreviewDlg> preview_;
};

}  // namespace quillmere
