#include "about_dlg.h"

#include <QPushButton>

#include "app_icon.h"
#include "resource_ids.h"

namespace quillmere {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
  const QIcon icon = AppIcon();
  built_ = BuildDialog(*this, AboutDialogTemplate(), icon);
  setWindowIcon(icon);
  auto* ok = qobject_cast<QPushButton*>(built_.controls.at(ids::kAboutOk));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ok->setFocus();
}

}  // namespace quillmere
