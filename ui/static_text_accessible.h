#pragma once

#include <QAccessibleWidget>

namespace quillmere {

class StaticText;

// How a screen reader sees a static text: its text as its name, read as
// text, or as a link when it reports clicks (and then it can be pressed).
// Its text can also be read by character, word and line through the text
// interface, as a read-only text with no caret.
class StaticTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit StaticTextAccessible(StaticText* text);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::Role role() const override;
  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& action) override;

  // The text interface.
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  void selection(int index, int* startOffset, int* endOffset) const override;
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  StaticText* staticText() const;
};

// Makes Qt's accessibility use StaticTextAccessible for every StaticText.
void InstallStaticTextAccessibility();

}  // namespace quillmere
