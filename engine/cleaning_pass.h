#pragma once

#include "cleaning_options.h"
#include "text_buffer.h"

namespace quillmere {

// The switches of the edit groups in the one order the pass applies them:
// tables, scripts and applets, pictures, forms, background sounds, remove
// text, remove block, search and replace, notes and unnecessary characters,
// lists and formats, fonts and text styles. Every list of the groups (the
// window, the command line, the help) follows it.
inline constexpr bool CleaningOptions::*kPassOrder[] = {
    &CleaningOptions::convertTables,      &CleaningOptions::removeScripts,
    &CleaningOptions::removePictures,     &CleaningOptions::removeForms,
    &CleaningOptions::removeSounds,       &CleaningOptions::removeTextEnabled,
    &CleaningOptions::removeBlockEnabled, &CleaningOptions::searchEnabled,
    &CleaningOptions::cleanNotes,         &CleaningOptions::convertLists,
    &CleaningOptions::removeFonts,
};

// Applies every edit group that `options` enables to the buffer, in the
// pass's order. Sets `modified` when an edit changed the text (trimming alone
// does not); never clears it.
void CleanText(TextBuffer& buffer, const CleaningOptions& options);

}  // namespace quillmere
