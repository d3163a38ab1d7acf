#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "window_fields.h"

namespace quillmere {

// What the user chose in the box of a file that failed during a run.
enum class FailureAnswer {
  kGoOn,         // OK: the run goes on
  kStopRun,      // "Stop the run": as STOP, once this file is done
  kNoMoreBoxes,  // later failures of the run are only counted and marked
};

enum class MessageStyle {
  kPlain,        // one OK button, no icon
  kExclamation,  // exclamation (warning) icon, one OK button
};

// What the main window's logic asks of the window it runs in: the Qt window
// and the native Windows window each provide it, and the tests a recording
// fake. Paths are in the file store's form (UTF-8 on Windows, the system's
// bytes elsewhere), and so are the status texts that carry them; the
// cleaning texts are bytes of the files' own 8-bit encoding.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // The text as the user reads it: a translation where one is installed.
  virtual std::string Translate(const char* text) = 0;

  // Controls by id: takes effect at once; a disabled control takes no input.
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual void SetCaption(int id, const std::string& caption) = 0;

  // The list control, which shows the file list.
  virtual void ListInsertAtTop(const std::string& path) = 0;
  virtual void ListDeleteAll() = 0;
  virtual void ListFitColumn() = 0;

  // The progress bar, range 0 to 100.
  virtual void SetProgress(int position) = 0;

  // A modal box owned by the main window; returns when the user closed it.
  // `details`, when not empty, is shown below the text (a file's reason).
  virtual void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                           const std::string& details) = 0;

  // Tells a screen reader `text` once, politely and without moving the
  // focus: the summary at the end of a run, of a STOP and of an undo.
  virtual void Announce(const std::string& text) = 0;

  // The box of a file that failed during a run, owned by the main window:
  // `text` as its first line, `details` (the reason) below, the warning
  // icon, OK the default button, and "Stop the run" and "Don't show again
  // in this run" beside it. A key held down since before the box appeared
  // does not answer it.
  virtual FailureAnswer ShowFileError(const std::string& text, const std::string& details) = 0;

  // A Yes/No question owned by the main window, No the default answer:
  // whether the user said Yes.
  virtual bool Confirm(const std::string& question) = 0;

  // A moment, in seconds since the epoch, in local time as the window shows
  // dates and times.
  virtual std::string FormatTime(std::int64_t secondsSinceEpoch) = 0;

  // Handles every event that is waiting, then returns. Handlers run nested.
  virtual void DrainEvents() = 0;

  // The multi-select open-file dialog: the chosen paths in the dialog's order,
  // or nothing when the user cancelled.
  virtual std::optional<std::vector<std::string>> ChooseFiles() = 0;

  // The main window's data exchange between its controls and `fields`.
  virtual void ExchangeData(WindowFields& fields, ExchangeDirection direction) = 0;
};

}  // namespace quillmere
