#include "qt_window_services.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <utility>

#include "file_list_view.h"
#include "focus_return.h"
#include "fresh_keys_only.h"
#include "static_text.h"
#include "texts.h"
#include "translation.h"
#include "wrapped_text.h"

namespace quillmere {

std::string ToBytes(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromBytes(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

namespace {

// The widest a box's text may be: three quarters of the screen, and no more
// than a long line of reading.
int WidestLine(const QWidget& box, const QFontMetrics& metrics) {
  const QScreen* screen = box.screen();
  const int screenWidth = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : 600;
  return std::min(screenWidth, 100 * metrics.averageCharWidth());
}

// Message boxes wrap at about half the screen's width; a box whose lines are
// longer is widened instead, up to its widest, so each line of text stays one
// line as written. A line longer still (a long path) wraps at any character,
// so all of it shows: the box's label gives way to a WrappedText, as a label
// wraps only between words.
void KeepLinesWhole(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label == nullptr) return;
  const QFontMetrics metrics(label->font());
  const int limit = WidestLine(box, metrics);
  int widest = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n'))) {
    const int tabs = static_cast<int>(line.count(QLatin1Char('\t')));
    widest =
        std::max(widest, metrics.horizontalAdvance(line) + tabs * 8 * metrics.averageCharWidth());
  }
  label->setWordWrap(true);
  label->setMinimumWidth(std::min(widest + 1, limit));
  if (widest <= limit) return;
  InstallWrappedTextAccessibility();
  auto* wrapped = new WrappedText(box.text(), &box);
  wrapped->setObjectName(QStringLiteral("quillmere_wrapped_text"));
  wrapped->setFont(label->font());
  wrapped->setMinimumWidth(limit);
  wrapped->setMaximumWidth(limit);
  // The layout hands back the item that held the label, now the caller's.
  if (QLayoutItem* held = box.layout()->replaceWidget(label, wrapped)) {
    delete held;
    label->hide();
  } else {
    delete wrapped;
  }
}

// Room in the box for its whole title beside the title bar's buttons: a
// short message would otherwise leave "..." as the title.
void KeepTitleWhole(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr || box.windowTitle().isEmpty()) return;
  const QFontMetrics metrics(box.font());
  constexpr int kTitleBarButtons = 4;  // the icon, and minimise, maximise, close
  const int width =
      metrics.horizontalAdvance(box.windowTitle()) + kTitleBarButtons * 2 * metrics.height();
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

std::vector<FileFilter> OpenFileFilters() {
  std::vector<FileFilter> filters;
  for (const texts::FileFilterText& filter : texts::kOpenFileFilters) {
    // Qt separates patterns by blanks, and "*" is every name, dotted or not.
    QString patterns =
        QString::fromUtf8(filter.patterns).replace(QStringLiteral("; "), QStringLiteral(" "));
    if (patterns == QStringLiteral("*.*")) patterns = QStringLiteral("*");
    filters.push_back({Tr(filter.description), patterns});
  }
  return filters;
}

std::unique_ptr<QFileDialog> MakeOpenFilesDialog(QWidget* owner) {
  auto dialog = std::make_unique<QFileDialog>(owner);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFiles);
  // Qt's own dialog shows the filter descriptions exactly as given; desktop
  // dialogs cut them at the first parenthesis.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  // Each filter is "description (patterns)" and only the description shows,
  // so a description may name other patterns than the ones applied.
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  QStringList nameFilters;
  for (const FileFilter& filter : OpenFileFilters()) {
    nameFilters << QStringLiteral("%1 (%2)").arg(filter.description, filter.patterns);
  }
  dialog->setNameFilters(nameFilters);
  dialog->selectNameFilter(nameFilters.front());
  return dialog;
}

std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& caption,
                                            MessageStyle style, QWidget* owner,
                                            const std::string& details) {
  const QMessageBox::Icon icon =
      style == MessageStyle::kExclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
  auto box = std::make_unique<QMessageBox>(icon, FromBytes(caption), FromBytes(text),
                                           QMessageBox::Ok, owner);
  box->setTextFormat(Qt::PlainText);
  // The first line stays exactly the message; the reason goes below it.
  if (!details.empty()) box->setInformativeText(FromBytes(details));
  KeepLinesWhole(*box);
  KeepTitleWhole(*box);
  return box;
}

namespace {
constexpr const char* kAnswerProperty = "quillmereAnswer";
}  // namespace

std::unique_ptr<QMessageBox> MakeFileErrorBox(const std::string& text, const std::string& details,
                                              QWidget* owner) {
  auto box = MakeMessageBox(text, "", MessageStyle::kExclamation, owner, details);
  QAbstractButton* ok = box->button(QMessageBox::Ok);
  box->addButton(Tr(texts::kStopTheRun), QMessageBox::ActionRole)
      ->setProperty(kAnswerProperty, static_cast<int>(FailureAnswer::kStopRun));
  box->addButton(Tr(texts::kNoMoreErrorBoxes), QMessageBox::ActionRole)
      ->setProperty(kAnswerProperty, static_cast<int>(FailureAnswer::kNoMoreBoxes));
  box->setDefaultButton(qobject_cast<QPushButton*>(ok));
  box->setEscapeButton(ok);
  return box;
}

QtWindowServices::QtWindowServices(QWidget& owner, const ControlMap& controls,
                                   const MainControls& typed)
    : owner_(owner),
      controls_(controls),
      typed_(typed),
      exchange_(typed),
      announcer_(new Announcer(&owner)) {}

void QtWindowServices::Announce(const std::string& text) {
  // Under the status line, whose text it repeats, wherever that is now.
  announcer_->setGeometry(typed_.statusLine->geometry());
  announcer_->stackUnder(typed_.statusLine);
  announcer_->Announce(FromBytes(text));
}

QWidget* QtWindowServices::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

std::string QtWindowServices::Translate(const char* text) {
  return ToBytes(Tr(text));
}

void QtWindowServices::EnableControl(int id, bool enabled) {
  if (QWidget* control = Control(id)) control->setEnabled(enabled);
}

void QtWindowServices::SetCaption(int id, const std::string& caption) {
  if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) {
    button->setText(FromBytes(caption));
  }
}

void QtWindowServices::ListInsertAtTop(const std::string& path) {
  typed_.fileList->insertAtTop(path);
}

void QtWindowServices::ListDeleteAll() {
  typed_.fileList->deleteAll();
}

void QtWindowServices::ListFitColumn() {
  typed_.fileList->fitColumn();
}

void QtWindowServices::SetProgress(int position) {
  typed_.progressBar->setValue(position);
}

void QtWindowServices::ShowMessage(const std::string& text, const std::string& caption,
                                   MessageStyle style, const std::string& details) {
  const FocusReturn focusBack(owner_);
  const auto box = MakeMessageBox(text, caption, style, &owner_, details);
  box->exec();
}

FailureAnswer QtWindowServices::ShowFileError(const std::string& text, const std::string& details) {
  const FocusReturn focusBack(owner_);
  const auto box = MakeFileErrorBox(text, details, &owner_);
  const FreshKeysOnly freshKeys(*box);
  box->exec();
  const QAbstractButton* clicked = box->clickedButton();
  const QVariant answer = clicked ? clicked->property(kAnswerProperty) : QVariant();
  return answer.isValid() ? static_cast<FailureAnswer>(answer.toInt()) : FailureAnswer::kGoOn;
}

void QtWindowServices::DrainEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::optional<std::vector<std::string>> QtWindowServices::ChooseFiles() {
  if (hasNextChosen_) {
    hasNextChosen_ = false;
    return std::exchange(nextChosen_, std::nullopt);
  }
  const FocusReturn focusBack(owner_);
  const auto dialog = MakeOpenFilesDialog(&owner_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& file : dialog->selectedFiles()) {
    paths.push_back(ToBytes(QDir::toNativeSeparators(file)));
  }
  if (paths.empty()) return std::nullopt;
  return paths;
}

void QtWindowServices::ExchangeData(WindowFields& fields, ExchangeDirection direction) {
  exchange_.Exchange(fields, direction);
}

std::optional<std::string> QtWindowServices::ChooseFolder() {
  if (hasNextFolder_) {
    hasNextFolder_ = false;
    return std::exchange(nextFolder_, std::nullopt);
  }
  const FocusReturn focusBack(owner_);
  const QString folder = QFileDialog::getExistingDirectory(&owner_);
  if (folder.isEmpty()) return std::nullopt;
  return ToBytes(QDir::toNativeSeparators(folder));
}

bool QtWindowServices::Confirm(const std::string& question) {
  if (nextAnswer_) return *std::exchange(nextAnswer_, std::nullopt);
  const FocusReturn focusBack(owner_);
  QMessageBox box(QMessageBox::Question, Tr(texts::kProgramName), FromBytes(question),
                  QMessageBox::Yes | QMessageBox::No, &owner_);
  box.setDefaultButton(QMessageBox::No);
  KeepTitleWhole(box);
  return box.exec() == QMessageBox::Yes;
}

std::string QtWindowServices::FormatTime(std::int64_t secondsSinceEpoch) {
  // As quillmere-cli --runs shows it: no 'T', nothing left to guess.
  return ToBytes(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString("yyyy-MM-dd HH:mm:ss"));
}

void QtWindowServices::SetNextAnswer(bool yes) {
  nextAnswer_ = yes;
}

void QtWindowServices::SetNextChosenFolder(std::optional<std::string> folder) {
  hasNextFolder_ = true;
  nextFolder_ = std::move(folder);
}

void QtWindowServices::SetNextChosenFiles(std::optional<std::vector<std::string>> files) {
  hasNextChosen_ = true;
  nextChosen_ = std::move(files);
}

}  // namespace quillmere
