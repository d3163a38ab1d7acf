#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <memory>
#include <string>

#include "cleaning_options.h"
#include "file_preview.h"
#include "file_store.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quillmere {

class Announcer;
class TextPane;

// What a run with the window's options would do to one file: the file
// before and after, the changed lines marked, and what each ticked group
// did, in bytes. It reads the file and cleans it away from the window's
// thread, and writes nothing.
class CPreviewDlg : public QDialog {
  Q_OBJECT

 public:
  CPreviewDlg(QWidget* parent, FileStore& files, const std::string& path,
              const CleaningOptions& options);
  // Waits for the reading and cleaning still under way.
  ~CPreviewDlg() override;

  bool ready() const { return preview_ != nullptr; }
  const FilePreview* preview() const { return preview_.get(); }
  QString summary() const;
  const QTreeWidget& groupTable() const { return *groups_; }
  TextPane& beforePane() const { return *before_; }
  TextPane& afterPane() const { return *after_; }
  // Shows change `index` (0-based) in both panes.
  void ShowPlace(int index);
  int place() const { return place_; }

 signals:
  void previewReady();

 private:
  void BuildControls();
  void OnPreviewReady();
  void FillGroups();
  void ShowOnlyTheReason();
  void FollowScroll(TextPane& from, TextPane& to, bool fromBefore);

  QFutureWatcher<std::shared_ptr<const FilePreview>> watcher_;
  std::shared_ptr<const FilePreview> preview_;
  std::string path_;  // the file shown, for the title
  QLabel* summary_ = nullptr;
  QTreeWidget* groups_ = nullptr;
  QPushButton* close_ = nullptr;
  Announcer* announcer_ = nullptr;  // tells a screen reader which change is shown
  TextPane* before_ = nullptr;
  TextPane* after_ = nullptr;
  QLabel* placeLabel_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  int place_ = -1;
  bool following_ = false;  // one pane is being scrolled after the other
};

}  // namespace quillmere
