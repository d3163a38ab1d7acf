#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillmere {

// The paths of the file list, newest first, kept as the exact bytes they were
// given in; shown as text decoded from the system's 8-bit encoding. Putting a
// path at the top costs the same however long the list is.
class PathListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  int count() const { return static_cast<int>(paths_.size()); }
  const std::string& path(int row) const { return paths_[static_cast<std::size_t>(row)]; }
  void prepend(std::string path);
  void clear();
  // Takes the rows of these paths out.
  void remove(const std::vector<std::string>& paths);

  // Marks the paths that failed in the last run, each with its reason, in
  // place of the marks before.
  void setFailures(std::unordered_map<std::string, QString> failed);

 private:
  std::deque<std::string> paths_;
  std::unordered_map<std::string, QString> failed_;
  QIcon failedIcon_;
};

}  // namespace quillmere
