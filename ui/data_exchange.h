#pragma once

#include <QString>
#include <map>
#include <string>

#include "template_builder.h"
#include "window_fields.h"

namespace quillmere {

// The main window's data exchange: copies every bound control into the window
// fields (read) or every field into its control (write), in member order.
// Texts are converted with the system's 8-bit encoding; a text that the user
// has not changed since it was written reads back as exactly the bytes that
// were written, even where they do not decode cleanly.
class DataExchange {
 public:
  explicit DataExchange(const ControlMap& controls) : controls_(controls) {}

  void Exchange(WindowFields& fields, ExchangeDirection direction);

 private:
  std::string ReadText(int id);
  void WriteText(int id, const std::string& text);

  const ControlMap& controls_;
  // Per control: the bytes last written and the text they were shown as.
  std::map<int, std::pair<std::string, QString>> written_;
};

}  // namespace quillmere
