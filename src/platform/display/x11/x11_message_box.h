// The message box on X11: a small modal window with the caption as title,
// an error sign for error boxes (a red disc with a white cross), the text
// wrapped to a comfortable width, and its buttons. It runs on the calling
// thread with a connection of its own and blocks until it is answered.
#ifndef KEL_PLATFORM_DISPLAY_X11_MESSAGE_BOX_H
#define KEL_PLATFORM_DISPLAY_X11_MESSAGE_BOX_H

#include <string>
#include <string_view>
#include <vector>

#include "platform.h"
#include "x11_text_layout.h"

namespace kelplat::x11 {

struct MessageBoxButton {
  int answer;  // IDOK, IDCANCEL, IDYES, IDNO
  const char* label;
};

// The buttons of a box type, the default one first.
std::vector<MessageBoxButton> message_box_buttons(UINT type);

// The answer when the box is dismissed without a button (Escape or the
// close button): 0 when the type allows no such answer (Yes/No).
int message_box_dismiss_answer(UINT type);

// Where everything goes, in pixels of the box.
struct MessageBoxLayout {
  static constexpr int kMargin = 12;
  static constexpr int kIconSize = 32;
  static constexpr int kTextWidth = 360;
  static constexpr size_t kMaxLines = 40;
  static constexpr int kMinWidth = 200;
  static constexpr int kButtonWidth = 75;
  static constexpr int kButtonHeight = 23;
  static constexpr int kButtonGap = 8;

  int width = 0;
  int height = 0;
  bool has_icon = false;
  RECT icon{0, 0, 0, 0};
  int text_left = 0;
  int text_top = 0;
  int line_height = 0;
  int button_area_top = 0;  // the buttons' strip, below the text
  std::vector<std::string> lines;
  std::vector<RECT> buttons;  // in the order of message_box_buttons
};

MessageBoxLayout layout_message_box(std::string_view text, UINT type, const TextWidth& width_of,
                                    int line_height);

// Shows the box and returns the answer; 0 when no display can be opened.
int run_message_box(const std::string& text, const std::string& caption, UINT type);

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_MESSAGE_BOX_H
