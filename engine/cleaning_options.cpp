#include "cleaning_options.h"

namespace quillmere {

void SetPdaSwitches(CleaningOptions& options) {
  const std::int32_t value = options.pdaPreset != 0 ? 1 : 0;
  options.convertTables = value;
  options.removeScripts = value;
  options.removePictures = value;
  options.removeForms = value;
  options.removeSounds = value;
  options.cleanNotes = value;
  options.convertLists = value;
}

}  // namespace quillmere
