#pragma once

#include <QString>
#include <QWidget>

namespace quillmere {

// Plain text in lines as written, each wrapped wherever it is full, so a
// long path without spaces shows whole: the text itself is never changed, so
// a screen reader reads it and a copy takes it exactly. Its height follows
// its width.
class WrappedText : public QWidget {
  Q_OBJECT

 public:
  explicit WrappedText(const QString& text, QWidget* parent = nullptr);

  QString text() const { return text_; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Lays the text out `width` wide; the height it takes, and with `painter`
  // draws it.
  int LayOut(int width, class QPainter* painter) const;

  QString text_;
};

// Makes a screen reader see a WrappedText as static text named by its text.
void InstallWrappedTextAccessibility();

}  // namespace quillmere
