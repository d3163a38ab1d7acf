#include "main_controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "cleaning_groups.h"
#include "file_list_view.h"
#include "resource_ids.h"
#include "static_text.h"

namespace quillmere {
namespace {

// Finds control `id` as a `T`; notes the first one that is not there.
class Finder {
 public:
  explicit Finder(const ControlMap& built) : built_(built) {}

  template <typename T>
  T* Get(int id) {
    const auto found = built_.find(id);
    T* control = found == built_.end() ? nullptr : qobject_cast<T*>(found->second);
    if (control == nullptr && missing.empty()) {
      missing = "control " + std::to_string(id) + " is not a " + T::staticMetaObject.className();
    }
    return control;
  }

  std::string missing;

 private:
  const ControlMap& built_;
};

}  // namespace

FoundControls FindMainControls(const ControlMap& built) {
  Finder find(built);
  MainControls c;
  c.fileList = find.Get<FileListView>(ids::kFileList);
  c.addFiles = find.Get<QPushButton>(ids::kAddFiles);
  c.clear = find.Get<QPushButton>(ids::kClear);
  c.start = find.Get<QPushButton>(ids::kStart);
  c.exit = find.Get<QPushButton>(ids::kExit);
  c.progressBar = find.Get<QProgressBar>(ids::kProgressBar);
  c.percentLabel = find.Get<StaticText>(ids::kPercentLabel);
  c.statusLine = find.Get<StaticText>(ids::kStatusLine);
  c.aboutLabel = find.Get<StaticText>(ids::kAboutLabel);
  c.helpLabel = find.Get<StaticText>(ids::kHelpLabel);
  for (const CleaningGroup& group : CleaningGroups()) {
    c.checkBoxes[group.controlId] = find.Get<QCheckBox>(group.controlId);
    for (int i = 0; i < group.textCount; ++i) {
      c.textFields[group.textControlIds[i]] = find.Get<QLineEdit>(group.textControlIds[i]);
    }
  }
  return {c, find.missing};
}

}  // namespace quillmere
