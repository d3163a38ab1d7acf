#pragma once

#include <QString>
#include <map>
#include <vector>

#include "dialog_template.h"
#include "dialog_units.h"

class QDialog;
class QIcon;
class QWidget;

namespace quillmere {

// Controls by id.
using ControlMap = std::map<int, QWidget*>;

struct BuiltDialog {
  ControlMap controls;            // the controls that have an id
  std::vector<QWidget*> inOrder;  // every control, in template order
  BaseUnits units;
};

// The object name of the control with this id, e.g. "control1005"; controls
// without an id are named by their place in the template ("item0").
QString ControlObjectName(int id, int index);

// Fills `dialog` from the template: creates every control in template order,
// sets captions, styles and tab order, chooses base units from the dialog's
// font that let every caption fit its control, places the controls and fixes
// the dialog's size. Also sets the dialog's caption and window flags.
BuiltDialog BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QIcon& icon);

}  // namespace quillmere
