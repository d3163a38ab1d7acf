#pragma once

#include <string>

#include "cleaning_options.h"

namespace quillmere {

// The main window's members that its data exchange carries to and from the
// controls: the option record, the status line and the percentage label.
struct WindowFields {
  CleaningOptions options;
  std::string statusText;
  std::string percentText;
};

enum class ExchangeDirection {
  kRead,   // controls into the fields
  kWrite,  // fields into the controls
};

}  // namespace quillmere
