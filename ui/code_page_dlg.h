#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace quillmere {

// The box of the code page of older files: the offered code pages in a
// list, the current one selected, OK and Cancel.
class CCodePageDlg : public QDialog {
 public:
  CCodePageDlg(QWidget* parent, const std::string& current);

  // The selected code page's name, empty for the system's own.
  std::string chosen() const;

 private:
  std::vector<std::string> offered_;
  QListWidget* list_ = nullptr;
};

}  // namespace quillmere
