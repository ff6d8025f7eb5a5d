// Connections to the X server, one per thread.
#include "x11_connection.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XShm.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

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

// XOpenDisplay tries: a server that has just reset refuses or drops a new
// client for a moment.
constexpr int kOpenTries = 6;
constexpr std::chrono::milliseconds kFirstRetryDelay{10};
// How long the exit handler waits for display calls of other threads.
constexpr std::chrono::milliseconds kShutdownWait{2000};

// Every open connection in opening order, and the display uses in progress.
// Lives until the process is gone (never destroyed), so the exit handler and
// threads still running meet here safely.
struct Displays {
  std::mutex mutex;
  std::condition_variable ended;
  std::vector<Connection*> open;
  int uses = 0;
  bool shutting_down = false;
};
Displays& displays() {
  static Displays* const instance = new Displays;
  return *instance;
}

thread_local int t_use_depth = 0;

void exit_handler() { shut_down_displays(); }

Display* open_display_with_retry() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return nullptr;  // no display named: nothing to retry
  std::chrono::milliseconds delay = kFirstRetryDelay;
  for (int attempt = 1;; ++attempt) {
    if (Display* display = XOpenDisplay(nullptr)) return display;
    if (attempt == kOpenTries) return nullptr;
    std::this_thread::sleep_for(delay);
    delay *= 2;
  }
}

}  // namespace

void initialize_xlib() {
  static std::once_flag once;
  std::call_once(once, [] {
    XInitThreads();
    XSetErrorHandler(record_x_error);
    displays();
    std::atexit(exit_handler);
  });
}

DisplayUse::DisplayUse() {
  Displays& d = displays();
  std::lock_guard<std::mutex> lock(d.mutex);
  active_ = !d.shutting_down;
  if (!active_) return;
  ++t_use_depth;
  ++d.uses;
}

DisplayUse::~DisplayUse() {
  if (!active_) return;
  Displays& d = displays();
  std::lock_guard<std::mutex> lock(d.mutex);
  --t_use_depth;
  if (--d.uses == t_use_depth) d.ended.notify_all();
}

bool shut_down_displays() {
  Displays& d = displays();
  std::unique_lock<std::mutex> lock(d.mutex);
  if (d.shutting_down) return true;
  d.shutting_down = true;
  if (!d.ended.wait_for(lock, kShutdownWait, [&] { return d.uses == t_use_depth; }))
    return false;
  // Window threads' connections first (newest first), the query connection
  // (the first one opened) last. The lock keeps each connection alive while
  // it is closed.
  for (auto it = d.open.rbegin(); it != d.open.rend(); ++it) (*it)->close_display();
  return true;
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
  DisplayUse use;
  if (!use.active()) return nullptr;
  Display* display = open_display_with_retry();
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
  Displays& d = displays();
  std::lock_guard<std::mutex> lock(d.mutex);
  d.open.push_back(this);
}

Connection::~Connection() {
  DisplayUse use;
  {
    Displays& d = displays();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.open.erase(std::remove(d.open.begin(), d.open.end(), this), d.open.end());
  }
  if (use.active()) close_display();
}

void Connection::close_display() {
  if (closed_) return;
  closed_ = true;
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

std::shared_ptr<Connection> query_connection() {
  // Kept in static storage without a destructor: only the exit handler
  // closes it.
  static auto* const connection = new std::shared_ptr<Connection>(Connection::open());
  return *connection;
}

}  // namespace kelplat::x11
