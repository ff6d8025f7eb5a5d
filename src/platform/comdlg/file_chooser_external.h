// File choosers of the desktop: a dialog tool found on PATH, run as a child
// process with its arguments as a vector (no shell ever sees a name), its
// standard output read for the chosen path.
#ifndef KEL_PLATFORM_COMDLG_FILE_CHOOSER_EXTERNAL_H
#define KEL_PLATFORM_COMDLG_FILE_CHOOSER_EXTERNAL_H

#include <string>
#include <vector>

#include "file_chooser_request.h"

namespace kelplat::comdlg {

// Where an executable is on PATH, or "" when it is not there.
std::string find_on_path(const char* program);

// The arguments after the program's name.
std::vector<std::string> zenity_arguments(const ChooserRequest& request);
std::vector<std::string> kdialog_arguments(const ChooserRequest& request);

enum class ExternalAnswer { kNoTool, kChosen, kCancelled };

// Runs the first tool found on PATH and waits for it (the calling thread is
// blocked, the process's other threads run on). kChosen sets *path.
ExternalAnswer run_external_chooser(const ChooserRequest& request, std::string* path);

}  // namespace kelplat::comdlg

#endif  // KEL_PLATFORM_COMDLG_FILE_CHOOSER_EXTERNAL_H
