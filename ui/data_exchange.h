#pragma once

#include <QString>
#include <map>
#include <string>

#include "main_controls.h"
#include "window_fields.h"

class QWidget;

namespace quillmere {

// The main window's data exchange: copies the status line, the percentage
// label and every cleaning group's check box and edit fields into the window
// fields (read), or the fields into the controls (write). Texts are converted
// with the system's 8-bit encoding; a text that the user has not changed since
// it was written reads back as exactly the bytes that were written, even where
// they do not decode cleanly.
class DataExchange {
 public:
  explicit DataExchange(const MainControls& controls) : controls_(controls) {}

  void Exchange(WindowFields& fields, ExchangeDirection direction);

 private:
  void Text(QWidget* control, std::string& text, ExchangeDirection direction);
  std::string ReadText(QWidget* control);
  void WriteText(QWidget* control, const std::string& text);

  const MainControls& controls_;
  // Per control: the bytes last written and the text they were shown as.
  std::map<QWidget*, std::pair<std::string, QString>> written_;
};

}  // namespace quillmere
