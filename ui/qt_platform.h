#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data_exchange.h"
#include "platform_services.h"
#include "template_builder.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace quillmere {

class FileListView;

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

// The window-system services of the Qt main window: its controls by id, the
// file list, the progress bar, the data exchange, modal boxes, the open-file
// dialog and event draining.
class QtPlatform final : public PlatformServices {
 public:
  QtPlatform(QWidget& owner, const ControlMap& controls);

  void EnableControl(int id, bool enabled) override;
  void SetCaption(int id, const std::string& caption) override;

  int ListCount() override;
  std::string ListItem(int index) override;
  void ListInsertAtTop(const std::string& path) override;
  void ListDeleteAll() override;
  void ListFitColumn() override;

  void SetProgress(int position) override;
  void ShowMessage(const std::string& text, const std::string& caption, MessageStyle style,
                   const std::string& details) override;
  void ShowNotice(const std::string& text, const std::string& details) override;
  void DrainEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override;
  void ExchangeData(WindowFields& fields, ExchangeDirection direction) override;

  // For tests: the next ChooseFiles returns `files` (nothing = cancelled)
  // instead of opening the dialog.
  void SetNextChosenFiles(std::optional<std::vector<std::string>> files);

 private:
  QWidget* Control(int id) const;
  FileListView& List() const;

  QWidget& owner_;
  const ControlMap& controls_;
  DataExchange exchange_;
  bool hasNextChosen_ = false;
  std::optional<std::vector<std::string>> nextChosen_;
};

// Bytes in the system's 8-bit encoding, and back.
std::string ToBytes(const QString& text);
QString FromBytes(const std::string& bytes);

}  // namespace quillmere
