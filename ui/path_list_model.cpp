#include "path_list_model.h"

#include <QApplication>
#include <QString>
#include <QStyle>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace quillmere {

int PathListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count();
}

QVariant PathListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count()) return {};
  const std::string& text = path(index.row());
  const QString shown = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  const auto failed = failed_.find(text);
  switch (role) {
    case Qt::DisplayRole:
      return shown;
    case Qt::ToolTipRole:
      return failed == failed_.end() ? shown : shown + QStringLiteral("\n") + failed->second;
    case Qt::DecorationRole:
      if (failed != failed_.end()) return failedIcon_;
      return {};
    case Qt::AccessibleDescriptionRole:
      // A screen reader tells why the file failed, as the tip shows it.
      if (failed != failed_.end()) return failed->second;
      return {};
    default:
      return {};
  }
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

void PathListModel::remove(const std::vector<std::string>& paths) {
  const std::unordered_set<std::string_view> gone(paths.begin(), paths.end());
  beginResetModel();
  std::erase_if(paths_, [&](const std::string& path) { return gone.contains(path); });
  for (const std::string& path : paths) failed_.erase(path);
  endResetModel();
}

void PathListModel::setFailures(std::unordered_map<std::string, QString> failed) {
  if (failedIcon_.isNull()) {
    failedIcon_ = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
  }
  if (failed.empty() && failed_.empty()) return;
  failed_ = std::move(failed);
  if (!paths_.empty()) emit dataChanged(index(0), index(count() - 1));
}

void PathListModel::clear() {
  failed_.clear();
  if (paths_.empty()) return;
  beginResetModel();
  paths_.clear();
  paths_.shrink_to_fit();
  endResetModel();
}

}  // namespace quillmere
