// The display's own modal dialog windows and their push buttons.
#include "x11_dialog_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "x11_keys.h"

namespace kelplat::x11 {

Window create_dialog_window(Connection& connection, const std::string& caption, int width,
                            int height, const char* class_name) {
  Display* display = connection.display();
  const Atoms& atoms = connection.atoms();
  int screen_width = DisplayWidth(display, connection.screen());
  int screen_height = DisplayHeight(display, connection.screen());
  int x = std::max(0, (screen_width - width) / 2);
  int y = std::max(0, (screen_height - height) / 2);

  XSetWindowAttributes attributes{};
  attributes.background_pixel = pixel_of(connection, colors::kFace);
  attributes.border_pixel = 0;
  attributes.colormap = connection.colormap();
  attributes.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  Window window = XCreateWindow(display, connection.root(), x, y, unsigned(width),
                                unsigned(height), 0, connection.visual().depth, InputOutput,
                                connection.visual().visual,
                                CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);

  std::string latin1 = latin1_from_cp1252(caption);
  XStoreName(display, window, latin1.c_str());
  std::string utf8 = utf8_from_cp1252(caption);
  XChangeProperty(display, window, atoms.net_wm_name, atoms.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
  XClassHint class_hint{const_cast<char*>(class_name), const_cast<char*>("Kel")};
  XSetClassHint(display, window, &class_hint);

  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
  XWMHints wm_hints{};
  wm_hints.flags = InputHint;
  wm_hints.input = True;
  XSetWMHints(display, window, &wm_hints);
  Atom protocols[] = {atoms.wm_delete_window};
  XSetWMProtocols(display, window, protocols, 1);
  long type = long(atoms.net_wm_window_type_dialog);
  XChangeProperty(display, window, atoms.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&type), 1);
  long state = long(atoms.net_wm_state_modal);
  XChangeProperty(display, window, atoms.net_wm_state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&state), 1);
  return window;
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

void DialogEvents::run_events(Connection& connection, Window window) {
  XMapRaised(connection.display(), window);
  while (!finished()) {
    XEvent event;
    XNextEvent(connection.display(), &event);
    if (event.xany.window == window) handle(connection, window, event);
  }
}

void DialogEvents::handle(Connection& connection, Window window, XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) draw();
      break;
    case MapNotify:
      XSetInputFocus(connection.display(), window, RevertToParent, CurrentTime);
      break;
    case KeyPress:
      on_key(event.xkey);
      break;
    case ButtonPress:
      on_pointer(event.xbutton, true);
      break;
    case ButtonRelease:
      on_pointer(event.xbutton, false);
      break;
    case ClientMessage:
      if (Atom(event.xclient.data.l[0]) == connection.atoms().wm_delete_window) on_dismiss();
      break;
    default:
      break;
  }
}

}  // namespace kelplat::x11
