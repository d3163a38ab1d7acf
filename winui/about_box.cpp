#include "about_box.h"

#include "caption_fit.h"
#include "little_help.h"
#include "resource_ids.h"
#include "win_window_services.h"
#include "window_placement.h"

namespace quillmere {
namespace {

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FitCaptions(box);
      CentreWindow(box, GetWindow(box, GW_OWNER));
      return TRUE;  // the focus goes to OK, the first tab stop
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(box, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_HELP: {
      Win32WindowServices services(box);
      ShowLittleHelp(services);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kAboutTemplate), owner,
                  AboutProc, 0);
}

}  // namespace quillmere
