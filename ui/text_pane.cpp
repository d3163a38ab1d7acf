#include "text_pane.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "qt_window_services.h"
#include "read_only_text.h"
#include "texts.h"
#include "translation.h"

namespace quillmere {
namespace {

constexpr int kMarginColumns = 2;   // the sign and a space
constexpr int kLinesAboveGoTo = 3;  // a line gone to shows this far below the top

// Control characters other than the tab show as their visible symbols, so a
// removed one is seen; a tab shows as a space.
QString Visible(QString text) {
  for (QChar& c : text) {
    if (c == QLatin1Char('\t')) {
      c = QLatin1Char(' ');
    } else if (c.unicode() < 0x20) {
      c = QChar(0x2400 + c.unicode());
    }
  }
  return text;
}

}  // namespace

TextPane::TextPane(QWidget* parent) : QAbstractScrollArea(parent) {
  InstallTextPaneAccessibility();
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void TextPane::setMarks(QChar sign, const QColor& tint) {
  sign_ = sign;
  tint_ = tint;
  viewport()->update();
}

void TextPane::setSide(std::shared_ptr<const PreviewSide> side) {
  side_ = std::move(side);
  longestLine_ = 0;
  for (int i = 0; side_ && i < side_->lineCount(); ++i) {
    longestLine_ = std::max(longestLine_, static_cast<int>(side_->line(i).size()));
  }
  current_ = 0;
  UpdateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

int TextPane::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int TextPane::VisibleLines() const {
  return std::max(1, viewport()->height() / LineHeight());
}

int TextPane::GutterWidth() const {
  const int lines = side_ ? side_->lineCount() : 0;
  const int digits = static_cast<int>(QString::number(std::max(lines, 1)).size());
  return fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 1 + kMarginColumns);
}

int TextPane::firstVisibleLine() const {
  return verticalScrollBar()->value();
}

void TextPane::UpdateScrollBars() {
  const int lines = side_ ? side_->lineCount() : 0;
  verticalScrollBar()->setRange(0, std::max(0, lines - VisibleLines()));
  verticalScrollBar()->setPageStep(VisibleLines());
  const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
  const int columns = std::max(1, (viewport()->width() - GutterWidth()) / charWidth);
  horizontalScrollBar()->setRange(0, std::max(0, longestLine_ - columns + 1));
  horizontalScrollBar()->setPageStep(columns);
}

QString TextPane::DisplayText(int line, int firstColumn, int columns) const {
  const std::string_view text = side_->line(line);
  if (static_cast<std::size_t>(firstColumn) >= text.size()) return {};
  const std::string_view shown =
      text.substr(static_cast<std::size_t>(firstColumn), static_cast<std::size_t>(columns));
  return Visible(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
}

void TextPane::paintEvent(QPaintEvent*) {
  if (!side_) return;
  QPainter painter(viewport());
  const QFontMetrics metrics = fontMetrics();
  const int height = LineHeight();
  const int charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
  const int gutter = GutterWidth();
  const int columns = (viewport()->width() - gutter) / charWidth + 2;
  const int firstColumn = horizontalScrollBar()->value();
  const int first = firstVisibleLine();
  const int last = std::min(side_->lineCount(), first + VisibleLines() + 1);
  const QPalette& colours = palette();
  painter.fillRect(0, 0, gutter - charWidth / 2, viewport()->height(),
                   colours.color(QPalette::AlternateBase));
  for (int line = first; line < last; ++line) {
    const int top = (line - first) * height;
    const QRect row(0, top, viewport()->width(), height);
    const bool changed = side_->isChanged(line);
    if (changed) painter.fillRect(row.adjusted(gutter - charWidth / 2, 0, 0, 0), tint_);
    painter.setPen(colours.color(QPalette::PlaceholderText));
    const QString number = QString::number(line + 1) + QLatin1Char(' ');
    const QRect numberBox(0, top, gutter - charWidth * kMarginColumns, height);
    painter.drawText(numberBox, Qt::AlignRight | Qt::AlignVCenter, number);
    painter.setPen(colours.color(QPalette::Text));
    if (changed) {
      painter.drawText(QRect(gutter - charWidth * kMarginColumns, top, charWidth, height),
                       Qt::AlignCenter, QString(sign_));
    }
    QString shown = DisplayText(line, firstColumn, columns);
    if (line + 1 == side_->lineCount() && !side_->text().ends_with('\n')) {
      shown += QLatin1Char(' ') + Tr(texts::kPreviewNoLineEnd);
    }
    painter.drawText(QRect(gutter, top, viewport()->width() - gutter, height),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    // The current line is framed, so its tint stays seen.
    if (line == current_ && hasFocus()) {
      painter.setPen(QPen(colours.color(QPalette::Highlight), 2));
      painter.drawRect(row.adjusted(1, 1, -1, -1));
    }
    // Where lines of the other side are missing, a rule across the pane.
    if (side_->hasGapAbove(line)) {
      painter.fillRect(0, top, viewport()->width(), 2, colours.color(QPalette::Text));
    }
  }
  if (last == side_->lineCount() && side_->hasGapAbove(last)) {
    const int bottom = (last - first) * height;
    painter.fillRect(0, std::max(0, bottom - 2), viewport()->width(), 2,
                     colours.color(QPalette::Text));
  }
}

void TextPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TextPane::SetCurrent(int line) {
  if (!side_ || side_->lineCount() == 0) return;
  line = std::clamp(line, 0, side_->lineCount() - 1);
  if (line < firstVisibleLine()) verticalScrollBar()->setValue(line);
  if (line >= firstVisibleLine() + VisibleLines()) {
    verticalScrollBar()->setValue(line - VisibleLines() + 1);
  }
  if (line == current_) return;
  current_ = line;
  viewport()->update();
  QAccessibleValueChangeEvent change(this, currentLineText());
  QAccessible::updateAccessibility(&change);
  if (QAccessible::isActive()) {  // the lines in sight are read out only for a listener
    int at = 0;
    readableText(&at);
    QAccessibleTextCursorEvent caret(this, at);
    QAccessible::updateAccessibility(&caret);
  }
  emit currentLineChanged(line);
}

void TextPane::goToLine(int line) {
  if (!side_ || side_->lineCount() == 0) return;
  verticalScrollBar()->setValue(line - kLinesAboveGoTo);
  SetCurrent(line);
  viewport()->update();
}

QString TextPane::currentLineText() const {
  if (!side_ || side_->lineCount() == 0) return Tr(texts::kPreviewEmpty);
  return LineReading(current_);
}

QString TextPane::LineReading(int line) const {
  const std::string_view shown = side_->line(line);
  const QString text =
      Visible(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
  const char* form = side_->isChanged(line) ? texts::kPreviewChangedLine : texts::kPreviewLine;
  return Tr(form).arg(line + 1).arg(text);
}

QString TextPane::readableText(int* currentAt) const {
  *currentAt = 0;
  if (!side_ || side_->lineCount() == 0) return Tr(texts::kPreviewEmpty);
  const int first = std::min(firstVisibleLine(), current_);
  const int end =
      std::min(side_->lineCount(), std::max(firstVisibleLine() + VisibleLines(), current_ + 1));
  QString text;
  for (int line = first; line < end; ++line) {
    if (line == current_) *currentAt = int(text.size());
    text += LineReading(line) + QLatin1Char('\n');
  }
  return text;
}

void TextPane::keyPressEvent(QKeyEvent* event) {
  const int page = VisibleLines();
  switch (event->key()) {
    case Qt::Key_Up:
      SetCurrent(current_ - 1);
      return;
    case Qt::Key_Down:
      SetCurrent(current_ + 1);
      return;
    case Qt::Key_PageUp:
      SetCurrent(current_ - page);
      return;
    case Qt::Key_PageDown:
      SetCurrent(current_ + page);
      return;
    case Qt::Key_Home:
      if (event->modifiers() & Qt::ControlModifier) SetCurrent(0);
      horizontalScrollBar()->setValue(0);
      return;
    case Qt::Key_End:
      if (event->modifiers() & Qt::ControlModifier) SetCurrent(side_ ? side_->lineCount() : 0);
      return;
    default:
      QAbstractScrollArea::keyPressEvent(event);
  }
}

void TextPane::mousePressEvent(QMouseEvent* event) {
  SetCurrent(firstVisibleLine() + static_cast<int>(event->position().y()) / LineHeight());
  QAbstractScrollArea::mousePressEvent(event);
}

void TextPane::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void TextPane::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

namespace {

// A screen reader reads the pane by its name, its current line as its value,
// and the lines in sight as its text, the caret on the current line.
class TextPaneAccessible : public QAccessibleWidget, public ReadOnlyTextInterface {
 public:
  explicit TextPaneAccessible(TextPane* pane) : QAccessibleWidget(pane, QAccessible::Document) {}
  using QAccessibleWidget::text;
  using ReadOnlyTextInterface::text;

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return pane()->currentLineText();
    return QAccessibleWidget::text(kind);
  }
  QString wholeText() const override {
    int at = 0;
    return pane()->readableText(&at);
  }
  int caretOffset() const override {
    int at = 0;
    pane()->readableText(&at);
    return at;
  }
  QRect textRect() const override { return rect(); }

 private:
  TextPane* pane() const { return static_cast<TextPane*>(widget()); }
};

QAccessibleInterface* MakeTextPaneAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("quillmere::TextPane")) return nullptr;
  return new TextPaneAccessible(static_cast<TextPane*>(object));
}

}  // namespace

void InstallTextPaneAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeTextPaneAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace quillmere
