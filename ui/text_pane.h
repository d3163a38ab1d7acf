#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <memory>

#include "file_preview.h"

namespace quillmere {

// A read-only view of one side of a preview, fast at any size: it lays out
// only the lines in sight, one screen line per text line, in a fixed-pitch
// font, with line numbers, and marks the changed lines with a tint and a sign
// in the margin ("-" before, "+" after) so the mark does not rest on colour
// alone. A current line, moved with the keys, is what a screen reader reads.
class TextPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TextPane(QWidget* parent = nullptr);

  // `sign` marks its changed lines; `tint` is their background.
  void setMarks(QChar sign, const QColor& tint);
  void setSide(std::shared_ptr<const PreviewSide> side);
  const PreviewSide* side() const { return side_.get(); }

  int currentLine() const { return current_; }
  // Makes `line` current and shows it a few lines below the top.
  void goToLine(int line);
  int firstVisibleLine() const;
  // The current line as a screen reader reads it: its number, whether it
  // changed and its text.
  QString currentLineText() const;
  // The lines in sight (and the current line), one per line as
  // currentLineText reads them: the text a screen reader reads the pane by;
  // `currentAt` is where the current line starts in it.
  QString readableText(int* currentAt) const;

 signals:
  void currentLineChanged(int line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void SetCurrent(int line);
  void UpdateScrollBars();
  int LineHeight() const;
  int VisibleLines() const;
  int GutterWidth() const;
  QString DisplayText(int line, int firstColumn, int columns) const;
  QString LineReading(int line) const;

  std::shared_ptr<const PreviewSide> side_;
  int current_ = 0;
  QChar sign_ = QLatin1Char(' ');
  QColor tint_;
  int longestLine_ = 0;  // in bytes: the width the horizontal bar spans
};

// Makes Qt's accessibility use TextPane's own interface (every pane does so
// when it is made).
void InstallTextPaneAccessibility();

}  // namespace quillmere
