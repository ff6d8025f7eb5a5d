// Answers that a test installed for dialogs (see platform_testing.h), for
// the code that would otherwise ask the user.
#ifndef KEL_PLATFORM_USER_DIALOG_HOOKS_H
#define KEL_PLATFORM_USER_DIALOG_HOOKS_H

#include <string>
#include <vector>

#include "platform.h"

namespace kelplat {

// With a file dialog handler installed: sets *handled and returns the
// handler's answer (true: ofn->lpstrFile was filled). Without one: clears
// *handled and returns false.
bool testing_file_dialog(OPENFILENAMEA* ofn, bool save, bool* handled);

// With a print dialog handler installed: stores its answer (the chosen
// index of `printers`, or -1) in *answer and returns true. Without one:
// returns false.
bool testing_print_dialog(const std::vector<std::string>& printers, int initial, int* answer);

// With a message box handler installed: stores its answer in *answer and
// returns true. Without one: returns false.
bool testing_message_box(const std::string& text, const std::string& caption, UINT type,
                         int* answer);

}  // namespace kelplat

#endif  // KEL_PLATFORM_USER_DIALOG_HOOKS_H
