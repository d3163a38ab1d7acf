#include "path_list_model.h"

#include <QString>
#include <utility>

namespace quillmere {

int PathListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count();
}

QVariant PathListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    const std::string& text = path(index.row());
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  }
  return {};
}

Qt::ItemFlags PathListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void PathListModel::prepend(std::string path) {
  beginInsertRows(QModelIndex(), 0, 0);
  paths_.push_front(std::move(path));
  endInsertRows();
}

void PathListModel::clear() {
  if (paths_.empty()) return;
  beginResetModel();
  paths_.clear();
  paths_.shrink_to_fit();
  endResetModel();
}

}  // namespace quillmere
