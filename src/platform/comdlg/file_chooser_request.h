// What a file dialog asks for, read once from its OPENFILENAMEA, and the
// rules every way of answering it shares: which names the filters show, and
// how the chosen path goes back to the caller.
#ifndef KEL_PLATFORM_COMDLG_FILE_CHOOSER_REQUEST_H
#define KEL_PLATFORM_COMDLG_FILE_CHOOSER_REQUEST_H

#include <string>
#include <vector>

#include "platform.h"

namespace kelplat::comdlg {

// One filter of the dialog: "Image files (*.bmp)" with its patterns "*.BMP".
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
};

struct ChooserRequest {
  bool save = false;
  std::string title;        // the window's caption: lpstrTitle, or "Open" / "Save As"
  std::string initial_dir;  // empty: the current directory
  std::string initial_name;
  DWORD flags = 0;
  std::vector<FileFilter> filters;
  size_t active_filter = 0;  // index into filters (when there are any)
};

// Filters are pairs of strings, each ended by a NUL, the list by an empty
// string; patterns are separated by ';'. A null list gives no filters; a list
// longer than any sane dialog's is cut where it stops being sane.
std::vector<FileFilter> parse_filters(const char* filter_pairs);

// Wildcard match ('*' any run, '?' any one character), ignoring case.
bool matches_pattern(const std::string& name, const std::string& pattern);

// True when the name matches one of the patterns, or there are none.
bool matches_any(const std::string& name, const std::vector<std::string>& patterns);

// A pattern in its lower- and upper-case forms (and as written, when that is
// neither), for tools that match case exactly.
std::vector<std::string> pattern_case_forms(const std::string& pattern);

ChooserRequest make_request(const OPENFILENAMEA& ofn, bool save);

// Stores the chosen path in ofn->lpstrFile. A path that does not fit in
// nMaxFile - 1 bytes, an empty one or one holding a NUL is refused (false) and nothing changes.
bool store_chosen_path(OPENFILENAMEA* ofn, const std::string& path);

}  // namespace kelplat::comdlg

#endif  // KEL_PLATFORM_COMDLG_FILE_CHOOSER_REQUEST_H
