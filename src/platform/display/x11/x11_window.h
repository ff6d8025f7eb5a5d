// The X11 side of one window: an X window of the client size (a window with
// caption, decorated by the window manager) or of the outer size (a window
// without caption, undecorated, with a frame drawn by us), created and used
// only on the window's own thread, on that thread's connection.
//
// Display input becomes the platform's messages: pointer events are posted as
// the ten mouse messages in client coordinates (double clicks paired here),
// keys as key messages with their characters, the close button as
// WM_SYSCOMMAND SC_CLOSE, exposures as invalid rectangles.
#ifndef KEL_PLATFORM_DISPLAY_X11_WINDOW_H
#define KEL_PLATFORM_DISPLAY_X11_WINDOW_H

#include <X11/Xlib.h>

#include <bitset>
#include <memory>
#include <string>

#include "backend.h"
#include "x11_connection.h"
#include "x11_double_click.h"
#include "x11_presenter.h"
#include "x11_system_menu.h"
#include "x11_window_mover.h"

namespace kelplat::x11 {

class X11Window : public display::NativeWindow, public EventTarget {
 public:
  // Null when the server refuses the window.
  static std::unique_ptr<X11Window> create(std::shared_ptr<Connection> connection,
                                           const display::WindowSpec& spec);
  ~X11Window() override;
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  void show(bool visible);
  void move(const RECT& outer, int client_width, int client_height);
  void present(const RECT& rect, const display::PictureView& picture);
  void system_command(UINT command);
  void handle_event(XEvent& event) override;

 private:
  X11Window(std::shared_ptr<Connection> connection, const display::WindowSpec& spec, Window window);

  // Properties the window manager reads.
  void set_properties(const display::WindowSpec& spec);
  void set_size_hints(int x, int y);
  int x_width() const { return client_width_ + 2 * client_in_x_.x; }
  int x_height() const { return client_height_ + 2 * client_in_x_.y; }

  void draw_frame();
  void on_expose(const XExposeEvent& expose);
  void on_configure(const XConfigureEvent& configure);
  void on_button_press(const XButtonEvent& button);
  void on_button_release(const XButtonEvent& button);
  void on_motion(const XMotionEvent& motion);
  void on_key(XKeyEvent& key, bool down);
  void on_client_message(const XClientMessageEvent& message);
  void open_system_menu();

  // The platform's screen coordinates of a point of the X window, from the
  // window manager's record of where the window is, so that hit testing
  // agrees with it.
  POINT screen_point(int x, int y) const;
  bool in_client(int x, int y) const;
  // Sends a message through the window procedure; false when the window was
  // destroyed meanwhile (then nothing of this object may be touched).
  bool send_and_survive(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result = nullptr);

  std::shared_ptr<Connection> connection_;
  HWND hwnd_;
  Window window_;
  bool caption_;
  // Without caption the X window is the outer rectangle and we draw its
  // frame; the client area lies at `client_in_x_` inside it. With a caption
  // the X window is the client area, at `x_offset_` inside the outer
  // rectangle that the platform keeps.
  POINT client_in_x_;
  POINT x_offset_;
  int client_width_;
  int client_height_;
  bool double_clicks_;
  GC frame_gc_ = nullptr;
  Presenter presenter_;
  WindowMover mover_;
  DoubleClickDetector clicks_;
  std::unique_ptr<SystemMenuPopup> menu_;
  std::bitset<256> keys_down_;  // by key code, for the repeat flag
  unsigned buttons_down_ = 0;   // buttons whose press was posted (bit per button)
  POINT last_origin_{0, 0};     // outer top-left the platform knows
  Window parent_;               // root, or the window manager's frame
  bool focus_on_map_ = false;   // take the keyboard focus once shown
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_WINDOW_H
