// Line breaking for the text of the X11 display's own windows (the error
// box): pure, so it is testable with any measure of width.
#ifndef KEL_PLATFORM_DISPLAY_X11_TEXT_LAYOUT_H
#define KEL_PLATFORM_DISPLAY_X11_TEXT_LAYOUT_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelplat::x11 {

using TextWidth = std::function<int(std::string_view)>;

// Breaks `text` into lines no wider than `max_width`: at line ends ("\n" or
// "\r\n"), between words (runs of blanks fold into one space), and inside a
// word that is too wide on its own. At most `max_lines` lines come back; when
// the text needs more, the last one ends with "...".
std::vector<std::string> wrap_text(std::string_view text, int max_width, const TextWidth& width_of,
                                   size_t max_lines);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_TEXT_LAYOUT_H
