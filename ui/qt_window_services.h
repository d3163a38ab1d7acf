#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "announcer.h"
#include "data_exchange.h"
#include "main_controls.h"
#include "template_builder.h"
#include "window_services.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace quillmere {

// One entry of the open-file dialog's filter list: the description shown and
// the file-name patterns it stands for.
struct FileFilter {
  QString description;
  QString patterns;
};

// The four filters, the first chosen at first. "All Files (*.*)" stands for
// "*", so names without a dot are listed too.
std::vector<FileFilter> OpenFileFilters();

// The multi-select open-file dialog, owned by `owner`, not yet shown.
std::unique_ptr<QFileDialog> MakeOpenFilesDialog(QWidget* owner);

// A box with one OK button, owned by `owner`, not yet shown; `details`, when
// not empty, below the text.
std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& caption,
                                            MessageStyle style, QWidget* owner,
                                            const std::string& details = "");

// The box of a file that failed during a run, not yet shown: the message
// box with "Stop the run" and "Don't show again in this run" beside OK, OK
// the default and the Escape answer.
std::unique_ptr<QMessageBox> MakeFileErrorBox(const std::string& text, const std::string& details,
                                              QWidget* owner);

// The services of the Qt main window: its controls by id, the file list,
// the progress bar, the data exchange, modal boxes, the open-file dialog,
// event draining and the translation of its texts.
class QtWindowServices final : public WindowServices {
 public:
  QtWindowServices(QWidget& owner, const ControlMap& controls, const MainControls& typed);

  std::string Translate(const char* text) override;
  void EnableControl(int id, bool enabled) override;
  void SetCaption(int id, const std::string& caption) override;

  void ListInsertAtTop(const std::string& path) override;
  void ListDeleteAll() override;
  void ListFitColumn() override;

  void SetProgress(int position) override;
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  // A Yes/No box titled with the program's name.
  bool Confirm(const std::string& question) override;
  FailureAnswer ShowFileError(const std::string& text, const std::string& details) override;
  // In ISO 8601 form: 2026-12-07T14:48:52.
  std::string FormatTime(std::int64_t secondsSinceEpoch) override;
  void Announce(const std::string& text) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

  // The folder dialog: the chosen folder, or nothing when cancelled.
  std::optional<std::string> ChooseFolder();

  // For tests: the next ChooseFiles returns `files` (nothing = cancelled)
  // instead of opening the dialog; likewise the next ChooseFolder, and the
  // next Confirm answers `yes` without asking.
  void SetNextChosenFiles(std::optional<std::vector<std::string>> files);
  void SetNextChosenFolder(std::optional<std::string> folder);
  void SetNextAnswer(bool yes);

 private:
  QWidget* Control(int id) const;

  QWidget& owner_;
  const ControlMap& controls_;
  const MainControls& typed_;
  DataExchange exchange_;
  Announcer* announcer_;
  bool hasNextChosen_ = false;
  std::optional<std::vector<std::string>> nextChosen_;
  std::optional<bool> nextAnswer_;
  bool hasNextFolder_ = false;
  std::optional<std::string> nextFolder_;
};

// Bytes in the system's 8-bit encoding, and back.
std::string ToBytes(const QString& text);
QString FromBytes(const std::string& bytes);

}  // namespace quillmere
