// The print dialog on X11: a small modal window listing the printers, with
// the one it starts on selected, and OK and Cancel. Up, Down, Home, End and
// the mouse select; Enter or OK prints, Escape, Cancel or closing the
// window cancels. It runs on the calling thread with a connection of its own.
#ifndef KEL_PLATFORM_DISPLAY_X11_PRINT_DIALOG_H
#define KEL_PLATFORM_DISPLAY_X11_PRINT_DIALOG_H

#include <string>
#include <vector>

namespace kelplat::x11 {

// The chosen index, or -1 when cancelled, when there is no printer or no
// display can be opened.
int run_print_dialog(const std::vector<std::string>& printers, int initial);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_PRINT_DIALOG_H
