// The X11 display's own modal dialogs (message box, file chooser, print dialog):
// a window of fixed size centred on the screen, described to the window
// manager as a modal dialog of this process, whose events go to a few hooks
// until the dialog is answered.
#ifndef KEL_PLATFORM_DISPLAY_X11_DIALOG_H
#define KEL_PLATFORM_DISPLAY_X11_DIALOG_H

#include <X11/Xlib.h>

#include <string>

#include "platform.h"
#include "x11_connection.h"
#include "x11_drawing.h"

namespace kelplat::x11 {

// A push button in `rect`: bevelled, framed when it has the focus, sunken
// while it is pressed, its label centred.
void draw_push_button(const Connection& connection, Window window, GC gc, const CoreFont& font,
                      const RECT& rect, const char* label, bool focused, bool pressed);

class DialogWindow : public EventTarget {
 public:
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Shows the window and hands out the connection's events (those of the
  // thread's other windows on it included) until answered().
  void run();

  void handle_event(XEvent& event) override;

 protected:
  explicit DialogWindow(Connection& connection) : connection_(connection) {}
  ~DialogWindow();

  // Makes the window; once, from the dialog's constructor. The title is in
  // the platform's code page.
  void create(int width, int height, const std::string& title, const char* class_name);

  virtual bool answered() const = 0;
  virtual void draw() = 0;
  virtual void on_key(XKeyEvent& key) = 0;
  virtual void on_button(const XButtonEvent& button, bool down) = 0;
  // The window manager's close button.
  virtual void on_close() = 0;

  Connection& connection_;
  Window window_ = 0;
  GC gc_ = nullptr;

 private:
  void describe(int x, int y, int width, int height, const std::string& title,
                const char* class_name);
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_DIALOG_H
