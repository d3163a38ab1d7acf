#pragma once

#include <QAbstractListModel>
#include <deque>
#include <string>

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

 private:
  std::deque<std::string> paths_;
};

}  // namespace quillmere
