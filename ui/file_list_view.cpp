#include "file_list_view.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
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
  // The width the item would take by itself: its mark, text and margins.
  int naturalWidth(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return QStyledItemDelegate::sizeHint(option, index).width();
  }
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
  // The frame is a line of the list's own, not the style's: at a fractional
  // scale the style's frame loses whole sides to rounding. The list is
  // filled with the line's colour and its contents kept one pixel inside.
  setFrameStyle(QFrame::NoFrame);
  setViewportMargins(1, 1, 1, 1);
  delegate_->setWidth(fontMetrics().averageCharWidth() * 16);
}

bool FileListView::event(QEvent* event) {
  if (event->type() == QEvent::Paint) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(hasFocus() ? QPalette::Highlight : QPalette::Mid));
    return true;
  }
  return QListView::event(event);
}

void FileListView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  update();  // the frame shows the focus
}

void FileListView::focusOutEvent(QFocusEvent* event) {
  QListView::focusOutEvent(event);
  update();
}

void FileListView::insertAtTop(std::string path) {
  model_->prepend(std::move(path));
}

void FileListView::remove(const std::vector<std::string>& paths) {
  model_->remove(paths);
  measuredRows_ = 0;
  widestText_ = 0;
  fitColumn();
}

std::vector<std::string> FileListView::selectedPaths() const {
  QModelIndexList rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  std::vector<std::string> paths;
  for (const QModelIndex& row : rows) paths.push_back(model_->path(row.row()));
  return paths;
}

void FileListView::setFailures(std::unordered_map<std::string, QString> failed) {
  marked_ = !failed.empty();
  model_->setFailures(std::move(failed));
  fitColumn();
}

void FileListView::deleteAll() {
  model_->clear();
  measuredRows_ = 0;
  widestText_ = 0;
}

void FileListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  if (!hasFocus() || !current.isValid() || current.data(Qt::DecorationRole).isNull()) return;
  const QRect item = visualRect(current);
  QToolTip::showText(viewport()->mapToGlobal(item.bottomLeft()),
                     current.data(Qt::ToolTipRole).toString(), viewport(), item);
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
  // The item's text margins on both sides, and a gap between columns; a
  // file marked as failed as wide as it takes with its mark.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const int gap = metrics.averageCharWidth();
  const int width = std::max(widestText_ + 2 * margin, marked_ ? WidestMarked() : 0) + gap;
  if (width == delegate_->width()) return;
  delegate_->setWidth(width);
  scheduleDelayedItemsLayout();
}

int FileListView::WidestMarked() const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  int widest = 0;
  for (int row = 0; row < model_->count(); ++row) {
    const QModelIndex index = model_->index(row);
    if (!index.data(Qt::DecorationRole).isNull()) {
      widest = std::max(widest, delegate_->naturalWidth(option, index));
    }
  }
  return widest;
}

int FileListView::columnWidth() const {
  return delegate_->width();
}

}  // namespace quillmere
