// The common dialogs: open and save file names, and the printer dialog.
// A test's answer comes first. Otherwise, on a real display, the user is
// asked: with the desktop's chooser tool when there is one, else with our
// own chooser. The headless back end has no one to ask: "cancelled".
#include <cstring>
#include <string>

#include "platform.h"
#include "backend.h"
#include "dialog_hooks.h"
#include "file_chooser_external.h"
#include "file_chooser_request.h"
#include "file_chooser_x11.h"

namespace {

using namespace kelplat::comdlg;

// The one place where the user is asked for a file. True when a name was
// chosen and stored in ofn->lpstrFile.
bool ask_user_for_file(OPENFILENAMEA* ofn, bool save) {
  if (std::strcmp(kelplat::display::backend().name(), "x11") != 0) return false;
  ChooserRequest request = make_request(*ofn, save);
  std::string path;
  switch (run_external_chooser(request, &path)) {
    case ExternalAnswer::kChosen:
      break;
    case ExternalAnswer::kCancelled:
      return false;
    case ExternalAnswer::kNoTool:
#ifdef KEL_HAVE_X11
      if (!run_own_chooser(request, &path)) return false;
      break;
#else
      return false;
#endif
  }
  return store_chosen_path(ofn, path);
}

// Where the chosen name's file part and extension begin, as callers of the
// dialog expect them (0 when there is no extension).
void mark_name_parts(OPENFILENAMEA* ofn) {
  const char* name = ofn->lpstrFile;
  size_t length = strnlen(name, ofn->nMaxFile);
  size_t file_part = 0, extension = 0;
  for (size_t i = 0; i < length; ++i) {
    if (name[i] == '/' || name[i] == '\\') {
      file_part = i + 1;
      extension = 0;
    } else if (name[i] == '.') {
      extension = i + 1;
    }
  }
  ofn->nFileOffset = WORD(file_part);
  ofn->nFileExtension = WORD(extension);
}

BOOL run_file_dialog(OPENFILENAMEA* ofn, bool save) {
  if (!ofn || ofn->lStructSize < sizeof(OPENFILENAMEA) || !ofn->lpstrFile || ofn->nMaxFile == 0)
    return FALSE;
  bool handled = false;
  bool chosen = kelplat::testing_file_dialog(ofn, save, &handled);
  if (!handled) chosen = ask_user_for_file(ofn, save);
  if (!chosen) return FALSE;
  ofn->lpstrFile[ofn->nMaxFile - 1] = '\0';
  mark_name_parts(ofn);
  return TRUE;
}

}  // namespace

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) { return run_file_dialog(ofn, false); }

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) { return run_file_dialog(ofn, true); }

// No printers on this platform yet: the dialog is always cancelled.
BOOL WINAPI PrintDlgA(LPPRINTDLGA) { return FALSE; }
