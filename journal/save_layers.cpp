#include "save_layers.h"

#include "keep_times_store.h"

namespace quillmere {

void AddSaveLayers(LayeredFileStore& store, bool keepTimes, RunJournal* journal,
                   const SaveLayerNotes& notes) {
  if (keepTimes) store.Add<KeepTimesFileStore>(notes.timesNotKept);
  if (journal != nullptr) store.Add<JournaledFileStore>(*journal, notes.noUndoCopy);
}

}  // namespace quillmere
