#pragma once

#include "cleaning_options.h"
#include "text_buffer.h"

namespace quillmere {

// Applies every edit group that `options` enables to the buffer, in the fixed
// order: tables, scripts and applets, pictures, forms, background sounds,
// remove text, remove block, search and replace, notes and unnecessary
// characters, lists and formats, fonts and text styles. Sets `modified` when an
// edit changed the text (trimming alone does not); never clears it.
void CleanText(TextBuffer& buffer, const CleaningOptions& options);

}  // namespace quillmere
