#include "code_page_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "code_page.h"
#include "code_page_setting.h"
#include "string_table.h"
#include "texts.h"
#include "translation.h"

namespace quillmere {

static QString Shown(const std::string& name) {
  if (!name.empty()) return QString::fromStdString(name);
  return QString::fromStdString(
      FormatPlaces(Tr(texts::kCodePageDefault).toStdString(), {SystemLegacyCodePage()}));
}

CCodePageDlg::CCodePageDlg(QWidget* parent, const std::string& current)
    : QDialog(parent), offered_(OfferedCodePages()), list_(new QListWidget(this)) {
  setWindowTitle(Tr(texts::kCodePageTitle));
  auto* label = new QLabel(Tr(texts::kCodePageLabel), this);
  label->setWordWrap(true);
  label->setBuddy(list_);
  list_->setObjectName(QStringLiteral("codePages"));
  list_->setAccessibleName(Tr(texts::kCodePageTitle));
  for (const std::string& name : offered_) list_->addItem(Shown(name));
  const auto at = std::find(offered_.begin(), offered_.end(), current);
  list_->setCurrentRow(at == offered_.end() ? 0 : static_cast<int>(at - offered_.begin()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  list_->setFocus();
}

std::string CCodePageDlg::chosen() const {
  const int row = list_->currentRow();
  return row < 0 ? std::string() : offered_[static_cast<std::size_t>(row)];
}

}  // namespace quillmere
