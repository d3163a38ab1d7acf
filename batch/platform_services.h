#pragma once

#include <optional>
#include <string>
#include <vector>

#include "window_fields.h"

namespace quillmere {

enum class MessageStyle {
  kPlain,        // one OK button, no icon
  kExclamation,  // exclamation (warning) icon, one OK button
};

// What the batch run and the file list ask of the window system. The Qt window
// implements it for real, the command line for a console, and the tests with
// a recording fake. Paths and texts are bytes in the system's 8-bit encoding.
class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // Controls by id: takes effect at once; a disabled control takes no input.
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual void SetCaption(int id, const std::string& caption) = 0;

  // The file list control; item texts come back whole, however long.
  virtual int ListCount() = 0;
  virtual std::string ListItem(int index) = 0;
  virtual void ListInsertAtTop(const std::string& path) = 0;
  virtual void ListDeleteAll() = 0;
  virtual void ListFitColumn() = 0;

  // The progress bar, range 0 to 100.
  virtual void SetProgress(int position) = 0;

  // A modal box owned by the main window; returns when the user closed it.
  // `details`, when not empty, is shown below the text (a file's reason).
  virtual void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                           const std::string& details) = 0;

  // Something the user should know that is no error, such as a file put
  // back after an interrupted run, with its details; it does not wait.
  virtual void ShowNotice(const std::string& text, const std::string& details) = 0;

  // Handles every event that is waiting, then returns. Handlers run nested.
  virtual void DrainEvents() = 0;

  // The multi-select open-file dialog: the chosen paths in the dialog's order,
  // or nothing when the user cancelled.
  virtual std::optional<std::vector<std::string>> ChooseFiles() = 0;

  // The main window's data exchange between its controls and `fields`.
  virtual void ExchangeData(WindowFields& fields, ExchangeDirection direction) = 0;
};

}  // namespace quillmere
