// Our own file chooser on X11, for desktops without a chooser tool: a small
// window on a connection of its own, opened and closed on the calling thread,
// which it blocks until the user answers.
#ifndef KEL_PLATFORM_COMDLG_FILE_CHOOSER_X11_H
#define KEL_PLATFORM_COMDLG_FILE_CHOOSER_X11_H

#include <string>

#include "file_chooser_request.h"

namespace kelplat::comdlg {

// True with *path set when a name was chosen; false when cancelled or when
// no display can be opened.
bool run_own_chooser(const ChooserRequest& request, std::string* path);

}  // namespace kelplat::comdlg

#endif  // KEL_PLATFORM_COMDLG_FILE_CHOOSER_X11_H
