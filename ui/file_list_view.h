#pragma once

#include <QListView>
#include <string>
#include <unordered_map>
#include <vector>

#include "path_list_model.h"

namespace quillmere {

class ColumnDelegate;

// The file list control: paths from top to bottom, then in further columns to
// the right, with no header, icons, sorting or editing. All columns share one
// width, which fitColumn() sets to the widest path.
class FileListView : public QListView {
  Q_OBJECT

 public:
  explicit FileListView(QWidget* parent = nullptr);

  int count() const { return model_->count(); }
  const std::string& path(int row) const { return model_->path(row); }
  void insertAtTop(std::string path);
  void deleteAll();
  void fitColumn();
  // Takes these paths out of the view.
  void remove(const std::vector<std::string>& paths);
  // The paths selected, top first.
  std::vector<std::string> selectedPaths() const;
  // Marks the paths that failed, each with its reason as its tip.
  void setFailures(std::unordered_map<std::string, QString> failed);
  const PathListModel& pathModel() const { return *model_; }

  int columnWidth() const;

 protected:
  // A failed file reached from the keyboard shows its reason as its tip,
  // as the mouse would show it.
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int WidestMarked() const;

  PathListModel* model_;
  ColumnDelegate* delegate_;
  int measuredRows_ = 0;  // rows at the bottom whose width is in widestText_
  int widestText_ = 0;
  bool marked_ = false;  // some file is marked as failed
};

}  // namespace quillmere
