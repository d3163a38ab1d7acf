#pragma once

#include <QAccessibleTextInterface>
#include <QRect>
#include <QString>

namespace quillmere {

// The text interface of a text that cannot be edited or selected: a screen
// reader reads it by character, word and line from wholeText(), with the
// caret where caretOffset() says.
class ReadOnlyTextInterface : public QAccessibleTextInterface {
 public:
  virtual QString wholeText() const = 0;
  virtual int caretOffset() const { return 0; }
  // Where the text stands, in screen coordinates.
  virtual QRect textRect() const = 0;

  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override { return int(wholeText().size()); }
  void selection(int index, int* startOffset, int* endOffset) const override;
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return caretOffset(); }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return textRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override;
};

}  // namespace quillmere
