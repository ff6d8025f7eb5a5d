#include "x11_dialog.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "x11_drawing.h"
#include "x11_keys.h"

namespace kelplat::x11 {

DialogWindow::~DialogWindow() {
  if (!window_) return;
  Display* display = connection_.display();
  connection_.remove_target(window_);
  XFreeGC(display, gc_);
  XDestroyWindow(display, window_);
  XSync(display, False);
}

void DialogWindow::run() {
  Display* display = connection_.display();
  XMapRaised(display, window_);
  while (!answered()) {
    connection_.dispatch_pending();
    if (answered()) break;
    pollfd wait{ConnectionNumber(display), POLLIN, 0};
    poll(&wait, 1, -1);
  }
}

void DialogWindow::handle_event(XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) draw();
      break;
    case MapNotify:
      XSetInputFocus(connection_.display(), window_, RevertToParent, CurrentTime);
      break;
    case KeyPress:
      on_key(event.xkey);
      break;
    case ButtonPress:
    case ButtonRelease:
      on_button(event.xbutton, event.type == ButtonPress);
      break;
    case ClientMessage:
      if (Atom(event.xclient.data.l[0]) == connection_.atoms().wm_delete_window) on_close();
      break;
    default:
      break;
  }
}

void DialogWindow::create(int width, int height, const std::string& title,
                          const char* class_name) {
  Display* display = connection_.display();
  int x = std::max(0, (DisplayWidth(display, connection_.screen()) - width) / 2);
  int y = std::max(0, (DisplayHeight(display, connection_.screen()) - height) / 2);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = pixel_of(connection_, colors::kFace);
  attributes.border_pixel = 0;
  attributes.colormap = connection_.colormap();
  attributes.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  window_ = XCreateWindow(display, connection_.root(), x, y, unsigned(width), unsigned(height), 0,
                          connection_.visual().depth, InputOutput, connection_.visual().visual,
                          CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  gc_ = XCreateGC(display, window_, 0, nullptr);
  connection_.add_target(window_, this);
  describe(x, y, width, height, title, class_name);
}

// Names, fixed size, close button, owner process, and the modal dialog type.
void DialogWindow::describe(int x, int y, int width, int height, const std::string& title,
                            const char* class_name) {
  Display* display = connection_.display();
  const Atoms& atoms = connection_.atoms();
  std::string latin1 = latin1_from_cp1252(title);
  XStoreName(display, window_, latin1.c_str());
  std::string utf8 = utf8_from_cp1252(title);
  XChangeProperty(display, window_, atoms.net_wm_name, atoms.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
  XClassHint class_hint{const_cast<char*>(class_name), const_cast<char*>("Kel")};
  XSetClassHint(display, window_, &class_hint);
  if (XSizeHints* hints = XAllocSizeHints()) {
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window_, hints);
    XFree(hints);
  }
  XWMHints wm_hints{};
  wm_hints.flags = InputHint;
  wm_hints.input = True;
  XSetWMHints(display, window_, &wm_hints);
  Atom protocols[] = {atoms.wm_delete_window};
  XSetWMProtocols(display, window_, protocols, 1);
  long pid = long(getpid());
  XChangeProperty(display, window_, atoms.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  long type = long(atoms.net_wm_window_type_dialog);
  XChangeProperty(display, window_, atoms.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&type), 1);
  long state = long(atoms.net_wm_state_modal);
  XChangeProperty(display, window_, atoms.net_wm_state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&state), 1);
}

void draw_push_button(const Connection& connection, Window window, GC gc, const CoreFont& font,
                      const RECT& rect, const char* label, bool focused, bool pressed) {
  Display* display = connection.display();
  const RECT& r = rect;
  int width = r.right - r.left, height = r.bottom - r.top;
  fill_rect(connection, window, gc, r.left, r.top, width, height, colors::kFace);
  if (focused) {
    XSetForeground(display, gc, pixel_of(connection, colors::kText));
    XDrawRectangle(display, window, gc, r.left, r.top, unsigned(width - 1), unsigned(height - 1));
    draw_bevel(connection, window, gc, r.left + 1, r.top + 1, width - 2, height - 2, pressed);
  } else {
    draw_bevel(connection, window, gc, r.left, r.top, width, height, pressed);
  }
  int shift = pressed ? 1 : 0;
  int x = r.left + (width - font.width(label)) / 2 + shift;
  int y = r.top + (height + font.ascent() - font.descent()) / 2 + shift;
  XSetForeground(display, gc, pixel_of(connection, colors::kText));
  font.draw(window, gc, x, y, label);
}

}  // namespace kelplat::x11
