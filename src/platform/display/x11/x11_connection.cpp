// Connections to the X server, one per thread.
#include "x11_connection.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XShm.h>

#include <mutex>

namespace kelplat::x11 {
namespace {

thread_local int t_x_error = 0;

int record_x_error(Display*, XErrorEvent* error) {
  t_x_error = error->error_code;
  return 0;
}

// Shift of an 8-bit channel mask, or -1 when the mask is not one.
int channel_shift(unsigned long mask) {
  for (int shift = 0; shift <= 24; ++shift)
    if (mask == (0xFFul << shift)) return shift;
  return -1;
}

// The format of a TrueColor visual with 8-bit channels; false otherwise.
bool describe_visual(const Visual* visual, int depth, PixelFormat* format) {
  if (visual->c_class != TrueColor || (depth != 24 && depth != 32)) return false;
  int r = channel_shift(visual->red_mask);
  int g = channel_shift(visual->green_mask);
  int b = channel_shift(visual->blue_mask);
  if (r < 0 || g < 0 || b < 0) return false;
  format->red_shift = r;
  format->green_shift = g;
  format->blue_shift = b;
  uint32_t channels = uint32_t(visual->red_mask | visual->green_mask | visual->blue_mask);
  format->opaque_bits = depth == 32 ? ~channels : 0;
  format->native = r == 16 && g == 8 && b == 0 && format->opaque_bits == 0;
  return true;
}

// The calling thread's share of its connection.
thread_local std::shared_ptr<Connection> t_connection;

}  // namespace

void initialize_xlib() {
  static std::once_flag once;
  std::call_once(once, [] {
    XInitThreads();
    XSetErrorHandler(record_x_error);
  });
}

int take_x_error() {
  int error = t_x_error;
  t_x_error = 0;
  return error;
}

VisualChoice choose_visual(Display* display, int screen) {
  VisualChoice choice;
  Visual* visual = DefaultVisual(display, screen);
  int depth = DefaultDepth(display, screen);
  if (describe_visual(visual, depth, &choice.format)) {
    choice.visual = visual;
    choice.depth = depth;
    return choice;
  }
  XVisualInfo info;
  if (XMatchVisualInfo(display, screen, 24, TrueColor, &info) &&
      describe_visual(info.visual, 24, &choice.format)) {
    choice.visual = info.visual;
    choice.depth = 24;
  }
  return choice;
}

Atoms::Atoms(Display* display) {
  const char* names[] = {"WM_PROTOCOLS",
                         "WM_DELETE_WINDOW",
                         "_NET_WM_PING",
                         "_NET_WM_NAME",
                         "_NET_WM_PID",
                         "UTF8_STRING",
                         "_MOTIF_WM_HINTS",
                         "_NET_SUPPORTED",
                         "_NET_WM_MOVERESIZE",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_WINDOW_TYPE_NORMAL",
                         "_NET_WM_WINDOW_TYPE_DIALOG",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_MODAL"};
  Atom* fields[] = {&wm_protocols,
                    &wm_delete_window,
                    &net_wm_ping,
                    &net_wm_name,
                    &net_wm_pid,
                    &utf8_string,
                    &motif_wm_hints,
                    &net_supported,
                    &net_wm_moveresize,
                    &net_wm_window_type,
                    &net_wm_window_type_normal,
                    &net_wm_window_type_dialog,
                    &net_wm_state,
                    &net_wm_state_modal};
  constexpr int kCount = sizeof(names) / sizeof(names[0]);
  static_assert(kCount == sizeof(fields) / sizeof(fields[0]));
  Atom atoms[kCount];
  XInternAtoms(display, const_cast<char**>(names), kCount, False, atoms);
  for (int i = 0; i < kCount; ++i) *fields[i] = atoms[i];
}

std::shared_ptr<Connection> Connection::open() {
  initialize_xlib();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  VisualChoice visual = choose_visual(display, DefaultScreen(display));
  if (!visual.visual) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::shared_ptr<Connection>(new Connection(display, visual));
}

Connection::Connection(Display* display, const VisualChoice& visual)
    : display_(display),
      screen_(DefaultScreen(display)),
      visual_(visual),
      owns_colormap_(visual.visual != DefaultVisual(display, screen_)),
      atoms_(display) {
  colormap_ = owns_colormap_ ? XCreateColormap(display, root(), visual.visual, AllocNone)
                             : DefaultColormap(display, screen_);
  has_shm_ = XShmQueryExtension(display);
  // Holding a key down repeats presses only, without releases in between,
  // so a repeat is told from a new press by the key still being down.
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display, True, &detectable);
}

Connection::~Connection() {
  if (owns_colormap_) XFreeColormap(display_, colormap_);
  XCloseDisplay(display_);
}

bool Connection::wm_supports(Atom hint) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, root(), atoms_.net_supported, 0, 4096, False, XA_ATOM, &type,
                         &format, &count, &remaining, &data) != Success)
    return false;
  bool found = false;
  if (data && type == XA_ATOM && format == 32) {
    const long* atoms = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = Atom(atoms[i]) == hint;
  }
  if (data) XFree(data);
  return found;
}

void Connection::dispatch_pending() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    auto target = targets_.find(event.xany.window);
    if (target != targets_.end()) target->second->handle_event(event);
  }
  XFlush(display_);
}

std::shared_ptr<Connection> thread_connection(bool open_if_needed) {
  if (!t_connection && open_if_needed) t_connection = Connection::open();
  return t_connection;
}

}  // namespace kelplat::x11
