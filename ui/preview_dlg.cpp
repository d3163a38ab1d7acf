#include "preview_dlg.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

#include "announcer.h"
#include "file_error.h"
#include "qt_window_services.h"
#include "text_pane.h"
#include "texts.h"
#include "translation.h"

namespace quillmere {
namespace {

QString Bytes(std::uint64_t count) {
  return QLocale().toString(static_cast<qulonglong>(count));
}

// "1 byte", "2 bytes".
QString Size(std::uint64_t count) {
  return Tr(texts::FormFor(texts::kByteCount, count)).arg(Bytes(count));
}

// What one group did, in words.
QString GroupEffect(const GroupChange& change) {
  if (!change.changed) return Tr(texts::kGroupNoChange);
  if (change.after < change.before) {
    const std::uint64_t removed = change.before - change.after;
    return Tr(texts::FormFor(texts::kGroupRemoved, removed)).arg(Bytes(removed));
  }
  if (change.after > change.before) {
    const std::uint64_t added = change.after - change.before;
    return Tr(texts::FormFor(texts::kGroupAdded, added)).arg(Bytes(added));
  }
  return Tr(texts::kGroupSameLength);
}

// A pane under its caption, which gives it its name and its key.
QVBoxLayout* Captioned(const char* caption, TextPane* pane) {
  auto* column = new QVBoxLayout;
  auto* label = new QLabel(Tr(caption));
  label->setBuddy(pane);
  pane->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QStringLiteral(" :")));
  column->addWidget(label);
  column->addWidget(pane, 1);
  return column;
}

}  // namespace

CPreviewDlg::CPreviewDlg(QWidget* parent, FileStore& files, const std::string& path,
                         const CleaningOptions& options)
    : QDialog(parent), path_(path) {
  setWindowTitle(Tr(texts::kPreviewTitle).arg(QFileInfo(FromBytes(path)).fileName()));
  BuildControls();
  connect(&watcher_, &QFutureWatcherBase::finished, this, &CPreviewDlg::OnPreviewReady);
  watcher_.setFuture(QtConcurrent::run([&files, path, options] {
    auto preview = std::make_shared<FilePreview>();
    try {
      *preview = PreviewFile(files, path, options);
    } catch (const std::bad_alloc&) {
      *preview = FilePreview{};
      preview->error = FileError(FileProblem::kOutOfMemory);
    }
    return std::shared_ptr<const FilePreview>(std::move(preview));
  }));
}

CPreviewDlg::~CPreviewDlg() {
  watcher_.disconnect(this);
  watcher_.waitForFinished();
}

void CPreviewDlg::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(Tr(texts::kPreviewWorking));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(summary_);

  auto* groupsLabel = new QLabel(Tr(texts::kPreviewGroups));
  groups_ = new QTreeWidget;
  groups_->setRootIsDecorated(false);
  groups_->setColumnCount(2);
  groups_->setHeaderLabels({Tr(texts::kPreviewGroupColumn), Tr(texts::kPreviewChangeColumn)});
  groups_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  groupsLabel->setBuddy(groups_);
  groups_->setAccessibleName(
      groupsLabel->text().remove(QLatin1Char('&')).remove(QStringLiteral(" :")));
  layout->addWidget(groupsLabel);
  layout->addWidget(groups_);

  before_ = new TextPane;
  after_ = new TextPane;
  const QColor removed = QColor::fromHsv(0, 60, 255);
  const QColor added = QColor::fromHsv(120, 60, 240);
  before_->setMarks(QLatin1Char('-'), removed);
  after_->setMarks(QLatin1Char('+'), added);
  auto* panes = new QHBoxLayout;
  panes->addLayout(Captioned(texts::kPreviewBefore, before_));
  panes->addLayout(Captioned(texts::kPreviewAfter, after_));
  layout->addLayout(panes, 1);
  connect(before_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(*before_, *after_, true); });
  connect(after_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(*after_, *before_, false); });

  auto* buttons = new QHBoxLayout;
  placeLabel_ = new QLabel;
  announcer_ = new Announcer(this);
  previous_ = new QPushButton(Tr(texts::kPreviousChange));
  next_ = new QPushButton(Tr(texts::kNextChange));
  close_ = new QPushButton(Tr(texts::kPreviewClose));
  QPushButton* close = close_;
  previous_->setEnabled(false);
  next_->setEnabled(false);
  close->setDefault(true);
  connect(previous_, &QPushButton::clicked, this, [this] { ShowPlace(place_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { ShowPlace(place_ + 1); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(previous_);
  buttons->addWidget(next_);
  buttons->addWidget(placeLabel_, 1);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  const QRect screen =
      (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
          ->availableGeometry();
  resize(screen.width() * 4 / 5, screen.height() * 4 / 5);
}

QString CPreviewDlg::summary() const {
  return summary_->text();
}

void CPreviewDlg::OnPreviewReady() {
  preview_ = watcher_.result();
  if (!preview_->encoding.empty()) {
    setWindowTitle(Tr(texts::kPreviewTitleEncoding)
                       .arg(QFileInfo(FromBytes(path_)).fileName(),
                            QString::fromUtf8(preview_->encoding.c_str())));
  }
  if (preview_->error) {
    summary_->setText(Tr(texts::kPreviewUnreadable).arg(FromBytes(ReasonText(*preview_->error))));
  } else if (preview_->places.empty() && preview_->before.text() == preview_->after.text()) {
    summary_->setText(Tr(texts::kPreviewNoChange));
  } else {
    const std::size_t places = preview_->places.size();
    summary_->setText(Tr(texts::kPreviewSummary)
                          .arg(Size(preview_->before.text().size()),
                               Size(preview_->after.text().size()),
                               Tr(texts::FormFor(texts::kPlacesChange, places)).arg(places)));
  }
  if (preview_->error) {
    ShowOnlyTheReason();
    emit previewReady();
    return;
  }
  // The panes share the texts the preview holds.
  before_->setSide(std::shared_ptr<const PreviewSide>(preview_, &preview_->before));
  after_->setSide(std::shared_ptr<const PreviewSide>(preview_, &preview_->after));
  FillGroups();
  if (!preview_->places.empty()) ShowPlace(0);
  before_->setFocus();
  emit previewReady();
}

// A file that cannot be read has nothing to show side by side: the dialog
// keeps its summary, which says why, and its Close button.
void CPreviewDlg::ShowOnlyTheReason() {
  for (QWidget* part : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (part != summary_ && part != close_) part->hide();
  }
  setMinimumSize(0, 0);
  adjustSize();
  close_->setFocus();
}

void CPreviewDlg::FillGroups() {
  groups_->clear();
  if (preview_->groups.empty() && !preview_->error) {
    new QTreeWidgetItem(groups_, {Tr(texts::kPreviewNoGroups), QString()});
  }
  for (const GroupChange& change : preview_->groups) {
    new QTreeWidgetItem(groups_, {Tr(change.name.c_str()), GroupEffect(change)});
  }
  // Every group in sight: at most the nine there are, no scroll bar.
  const int rows = std::max(1, groups_->topLevelItemCount());
  groups_->setFixedHeight(groups_->header()->sizeHint().height() +
                          rows * groups_->sizeHintForRow(0) + 2 * groups_->frameWidth());
}

void CPreviewDlg::ShowPlace(int index) {
  if (!preview_ || preview_->places.empty()) return;
  const int count = static_cast<int>(preview_->places.size());
  place_ = std::clamp(index, 0, count - 1);
  const ChangedLines& shown = preview_->places[static_cast<std::size_t>(place_)];
  following_ = true;
  before_->goToLine(PlaceStart(shown, true));
  after_->goToLine(PlaceStart(shown, false));
  following_ = false;
  placeLabel_->setText(Tr(texts::kPreviewPlace).arg(place_ + 1).arg(count));
  announcer_->Announce(placeLabel_->text());
  previous_->setEnabled(place_ > 0);
  next_->setEnabled(place_ + 1 < count);
}

void CPreviewDlg::FollowScroll(TextPane& from, TextPane& to, bool fromBefore) {
  if (following_ || !preview_) return;
  following_ = true;
  const int line = CorrespondingLine(preview_->places, from.firstVisibleLine(), fromBefore);
  to.verticalScrollBar()->setValue(line);
  following_ = false;
}

}  // namespace quillmere
