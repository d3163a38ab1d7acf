#pragma once

#include <QDialog>

#include "template_builder.h"

namespace quillmere {

// The About box, built from template 100: the icon, the version, a notice and
// where the latest version is found, and "OK" with the keyboard focus. It
// opens centred over its owner.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* owner);

  // The controls in template order.
  const std::vector<QWidget*>& controls() const { return built_.inOrder; }

 private:
  BuiltDialog built_;
};

}  // namespace quillmere
