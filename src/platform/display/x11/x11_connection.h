// Connections to the X server. Every thread that owns windows talks to the
// server over a connection of its own, opened on first use and closed when
// the thread and its windows are gone; no connection is shared across
// threads, so no Xlib call ever needs a lock of ours. One more connection,
// opened once for questions about the display, stays for the life of the
// process (a server whose last client leaves may reset, and the next
// connection would then fail).
//
// At process exit every Xlib use ends: the exit handler waits for the calls
// in progress (each holds a DisplayUse), closes every connection once, the
// window threads' first and the query connection last, and from then on a
// DisplayUse is refused, so no thread touches a display again.
#ifndef KEL_PLATFORM_DISPLAY_X11_CONNECTION_H
#define KEL_PLATFORM_DISPLAY_X11_CONNECTION_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <map>
#include <memory>

namespace kelplat::x11 {

// How a 0x00RRGGBB pixel becomes a pixel of the visual: each 8-bit channel
// shifted into place, and on a 32-bit visual the spare bits (alpha) set, so a
// compositing window manager shows the window opaque. `native` when the
// visual's layout is the picture's.
struct PixelFormat {
  int red_shift = 16;
  int green_shift = 8;
  int blue_shift = 0;
  uint32_t opaque_bits = 0;
  bool native = true;

  uint32_t convert(uint32_t rgb) const {
    return (((rgb >> 16) & 0xFF) << red_shift) | (((rgb >> 8) & 0xFF) << green_shift) |
           ((rgb & 0xFF) << blue_shift) | opaque_bits;
  }
};

// The visual windows are made with: a 24- or 32-bit TrueColor one.
struct VisualChoice {
  Visual* visual = nullptr;
  int depth = 0;
  PixelFormat format;
};
// Null visual when the screen has no usable one.
VisualChoice choose_visual(Display* display, int screen);

struct Atoms {
  explicit Atoms(Display* display);
  Atom wm_protocols, wm_delete_window, net_wm_ping, net_wm_name, net_wm_pid, utf8_string,
      motif_wm_hints, net_supported, net_wm_moveresize, net_wm_window_type,
      net_wm_window_type_normal, net_wm_window_type_dialog, net_wm_state, net_wm_state_modal;
};

class EventTarget;

class Connection {
 public:
  // Null when no display can be opened (after a few tries, for the
  // transient failures of a server that is resetting) or it has no usable
  // visual.
  static std::shared_ptr<Connection> open();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* display() const { return display_; }
  int screen() const { return screen_; }
  Window root() const { return RootWindow(display_, screen_); }
  const VisualChoice& visual() const { return visual_; }
  Colormap colormap() const { return colormap_; }
  const Atoms& atoms() const { return atoms_; }
  bool has_shm() const { return has_shm_; }

  // Whether the window manager announces support for a hint (_NET_SUPPORTED);
  // asked each time, since a window manager may start or stop at any moment.
  bool wm_supports(Atom hint);

  // Windows of this connection that receive events.
  void add_target(Window window, EventTarget* target) { targets_[window] = target; }
  void remove_target(Window window) { targets_.erase(window); }
  bool has_target(Window window) const { return targets_.count(window) != 0; }

  // Hands every event that has arrived to its window, without blocking, and
  // sends what the handlers asked for.
  void dispatch_pending();

  // Closes the display, once; called at process exit with every display
  // use ended.
  void close_display();

 private:
  Connection(Display* display, const VisualChoice& visual);

  Display* display_;
  int screen_;
  VisualChoice visual_;
  Colormap colormap_;
  bool owns_colormap_;
  Atoms atoms_;
  bool has_shm_;
  std::map<Window, EventTarget*> targets_;
  bool closed_ = false;
};

// A scope in which the calling thread may use the X connections. `active()`
// is false once the process has begun to exit: then nothing may touch a
// display. Scopes nest on a thread (a window procedure reached from event
// dispatch may end the process), and the exit handler only waits for the
// scopes of other threads.
class DisplayUse {
 public:
  DisplayUse();
  ~DisplayUse();
  DisplayUse(const DisplayUse&) = delete;
  DisplayUse& operator=(const DisplayUse&) = delete;
  bool active() const { return active_; }

 private:
  bool active_;
};

// The process's connection for questions about the display (screen size,
// visual): opened on first use, never closed before the process exits. Null
// when no display can be opened.
std::shared_ptr<Connection> query_connection();

// Something with X windows that handles their events.
class EventTarget {
 public:
  virtual void handle_event(XEvent& event) = 0;

 protected:
  ~EventTarget() = default;
};

// The calling thread's connection: opened on first use when `open_if_needed`,
// else null until then. Kept until the thread ends; windows hold a share of it,
// so it is closed when both the thread and its windows are gone.
std::shared_ptr<Connection> thread_connection(bool open_if_needed);

// Once per process: Xlib's thread support, an error handler that lets X
// errors (a window that vanished, a refused shared-memory segment) pass
// instead of ending the process, and the exit handler that ends display use.
void initialize_xlib();

// Errors reported on the calling thread's connections since the last call;
// for calls that may fail at the server (shared memory) and must know.
int take_x_error();

// What the exit handler does; the test of orderly shutdown calls it itself.
// Returns false when display use in progress did not end in time (then the
// connections are left to the process's end rather than closed under it).
bool shut_down_displays();

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_CONNECTION_H
