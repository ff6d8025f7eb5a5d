// What the display's own modal dialogs (the message box, the print dialog)
// share: their top-level window, their push buttons and their event loop.
#ifndef KEL_PLATFORM_DISPLAY_X11_DIALOG_WINDOW_H
#define KEL_PLATFORM_DISPLAY_X11_DIALOG_WINDOW_H

#include <X11/Xlib.h>

#include <string>

#include "platform.h"
#include "x11_connection.h"
#include "x11_drawing.h"

namespace kelplat::x11 {

// A fixed-size window centred on the screen, titled `caption`, that the
// window manager treats as a modal dialog and may close with the delete
// protocol. It receives exposures, keys, button presses and releases and
// structure changes. Not mapped yet.
Window create_dialog_window(Connection& connection, const std::string& caption, int width,
                            int height, const char* class_name);

// A push button in `rect`: bevelled, framed when it has the focus, sunken
// while it is pressed, its label centred.
void draw_push_button(const Connection& connection, Window window, GC gc, const CoreFont& font,
                      const RECT& rect, const char* label, bool focused, bool pressed);

// The event loop of a modal dialog: maps its window, takes the focus once
// it is mapped, draws on exposure, passes keys and button presses and
// releases on, and treats the window manager's delete request as
// on_dismiss(), until finished().
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;

 protected:
  void run_events(Connection& connection, Window window);
  virtual void draw() = 0;
  virtual void on_key(XKeyEvent& key) = 0;
  virtual void on_pointer(const XButtonEvent& button, bool down) = 0;
  virtual void on_dismiss() = 0;
  virtual bool finished() const = 0;

 private:
  void handle(Connection& connection, Window window, XEvent& event);
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_DIALOG_WINDOW_H
