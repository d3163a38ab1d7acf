#pragma once

// The Windows API with the common controls, dialogs and shell drops, in the
// order their headers need: windows.h first.
// clang-format off
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on
