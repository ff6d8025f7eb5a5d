// Our own file chooser on X11, for desktops without a chooser tool: a small
// window on the calling thread's connection, which it blocks until the user
// answers.
#ifndef KEL_PLATFORM_DISPLAY_X11_FILE_CHOOSER_H
#define KEL_PLATFORM_DISPLAY_X11_FILE_CHOOSER_H

#include <string>

#include "file_chooser_request.h"

namespace kelplat::x11 {

// True with *path set when a name was chosen; false when cancelled or when
// no display can be opened.
bool run_file_chooser(const comdlg::ChooserRequest& request, std::string* path);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_FILE_CHOOSER_H
