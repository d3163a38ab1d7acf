#include "file_list_view.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

namespace quillmere {

// Gives every item the same size: the shared column width and one line. The
// view then lays out even a long list at once.
class ColumnDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (size.isEmpty()) size.setHeight(option.fontMetrics.height() + 2);
    size.setWidth(width_);
    return size;
  }

  int width() const { return width_; }
  void setWidth(int width) { width_ = width; }

 private:
  int width_ = 0;
};

FileListView::FileListView(QWidget* parent)
    : QListView(parent), model_(new PathListModel(this)), delegate_(new ColumnDelegate(this)) {
  setModel(model_);
  setItemDelegate(delegate_);
  setViewMode(QListView::ListMode);
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setTextElideMode(Qt::ElideRight);
  setDragEnabled(false);
  setAcceptDrops(false);
  delegate_->setWidth(fontMetrics().averageCharWidth() * 16);
}

void FileListView::insertAtTop(std::string path) {
  model_->prepend(std::move(path));
}

void FileListView::deleteAll() {
  model_->clear();
  measuredRows_ = 0;
  widestText_ = 0;
}

void FileListView::fitColumn() {
  // New paths only ever arrive at the top, so the rows above those measured
  // before are the new ones.
  const QFontMetrics metrics = fontMetrics();
  const int fresh = model_->count() - measuredRows_;
  for (int row = 0; row < fresh; ++row) {
    const QString text = model_->data(model_->index(row), Qt::DisplayRole).toString();
    widestText_ = std::max(widestText_, metrics.horizontalAdvance(text));
  }
  measuredRows_ = model_->count();
  // The item's text margins on both sides, and a gap between columns.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const int width = widestText_ + 2 * margin + metrics.averageCharWidth();
  if (width == delegate_->width()) return;
  delegate_->setWidth(width);
  scheduleDelayedItemsLayout();
}

int FileListView::columnWidth() const {
  return delegate_->width();
}

}  // namespace quillmere
