#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillmere {

// Widens every one-line static text of the dialog whose caption does not fit it in the dialog's
// real font, into the free room beside it: towards its text's open end first, never over another
// control or past the dialog's margin. The shell font's letters are wider than those of the bitmap
// font the template was laid out in, and scale unevenly with DPI.
void FitCaptions(HWND dialog);

// A wrapping static text that shows only the lines it has whole room for,
// as an edit control does, never the top half of a last line.
void ShowWholeLinesOnly(HWND text);

}  // namespace quillmere
