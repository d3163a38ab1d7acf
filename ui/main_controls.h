#pragma once

#include <map>
#include <string>

#include "template_builder.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quillmere {

class FileListView;
class StaticText;

// The main window's controls, typed, found once in what the template built.
struct MainControls {
  FileListView* fileList = nullptr;
  QPushButton* addFiles = nullptr;
  QPushButton* clear = nullptr;
  QPushButton* start = nullptr;
  QPushButton* exit = nullptr;
  QProgressBar* progressBar = nullptr;
  StaticText* percentLabel = nullptr;
  StaticText* statusLine = nullptr;
  StaticText* aboutLabel = nullptr;
  StaticText* helpLabel = nullptr;
  // The cleaning groups' check boxes and their edit fields, by control id.
  std::map<int, QCheckBox*> checkBoxes;
  std::map<int, QLineEdit*> textFields;
};

// The typed controls, or a description of the first control the code uses
// that the template did not build as the kind the code takes it for.
struct FoundControls {
  MainControls controls;
  std::string missing;  // empty when every control was found
};

FoundControls FindMainControls(const ControlMap& built);

}  // namespace quillmere
