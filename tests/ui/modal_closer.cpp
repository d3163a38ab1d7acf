#include "modal_closer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>

namespace quillmere::test {
namespace {

const char* const kHandled = "quillmereTestHandled";

int VisibleMessageBoxes() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible()) ++count;
  }
  return count;
}

void Close(QWidget& modal) {
  if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
    box->button(QMessageBox::Ok)->click();
  } else if (auto* files = qobject_cast<QFileDialog*>(&modal)) {
    files->reject();
  } else if (auto* ok = modal.findChild<QPushButton*>(QStringLiteral("control1"))) {
    ok->click();
  } else if (auto* dialog = qobject_cast<QDialog*>(&modal)) {
    dialog->reject();
  }
}

}  // namespace

ModalCloser::ModalCloser(std::function<void(QWidget&)> onSeen) : onSeen_(std::move(onSeen)) {
  timer_.setInterval(1);
  connect(&timer_, &QTimer::timeout, this, &ModalCloser::Poll);
  timer_.start();
}

void ModalCloser::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible() || modal->property(kHandled).toBool()) return;
  // A window run with exec() for the test itself is not answered.
  if (modal->parentWidget() == nullptr && qobject_cast<QMessageBox*>(modal) == nullptr) return;
  modal->setProperty(kHandled, true);

  SeenModal seen;
  seen.className = QString::fromLatin1(modal->metaObject()->className());
  seen.title = modal->windowTitle();
  seen.owner = modal->parentWidget();
  seen.applicationModal = modal->windowModality() == Qt::ApplicationModal;
  seen.visibleMessageBoxes = VisibleMessageBoxes();
  if (QWidget* focus = modal->focusWidget()) seen.focusName = focus->objectName();
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
  }
  seen_.push_back(seen);
  if (onSeen_) onSeen_(*modal);
  if (modal->isVisible()) Close(*modal);
}

}  // namespace quillmere::test
