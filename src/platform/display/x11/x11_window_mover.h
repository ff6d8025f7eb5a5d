// Moving a window with the pointer or the keyboard when no window manager
// does it for us: dragging the frame of a window without caption (the
// pointer is held down) and the system menu's Move command (arrows move,
// the pointer moves, Enter or a click ends, Escape puts the window back).
#ifndef KEL_PLATFORM_DISPLAY_X11_WINDOW_MOVER_H
#define KEL_PLATFORM_DISPLAY_X11_WINDOW_MOVER_H

#include <X11/Xlib.h>

#include <memory>

#include "x11_connection.h"

namespace kelplat::x11 {

class WindowMover {
 public:
  // Keyboard moves go this many pixels per arrow key.
  static constexpr int kKeyStep = 8;

  WindowMover(std::shared_ptr<Connection> connection, Window window)
      : connection_(std::move(connection)), window_(window) {}

  // Button `button` went down at the root position; the window follows the
  // pointer until it is released.
  void begin_drag(int button, int root_x, int root_y, Time time);
  // Keys and pointer move the window until Enter, a click or Escape.
  void begin_keyboard_move();

  // Takes the pointer and key events while a move is going on; true when the
  // event belonged to the move.
  bool handle(const XEvent& event);

 private:
  enum class Mode { kIdle, kDrag, kKeyboard };

  // Whether the window manager moves windows itself (_NET_WM_MOVERESIZE).
  bool window_manager_moves();

  // Where the window's top-left corner is on the screen now.
  bool window_origin(int* x, int* y) const;
  bool pointer_position(int* x, int* y) const;
  void ask_window_manager(int direction, int button, int root_x, int root_y);
  void follow_pointer(int root_x, int root_y);
  void finish(bool restore);

  std::shared_ptr<Connection> connection_;
  Window window_;
  Mode mode_ = Mode::kIdle;
  int button_ = 0;
  int start_x_ = 0, start_y_ = 0;          // window origin when the move began
  int pointer_x_ = 0, pointer_y_ = 0;      // pointer when the move began
  int key_dx_ = 0, key_dy_ = 0;            // what the arrow keys added
  int last_root_x_ = 0, last_root_y_ = 0;  // pointer now
};

}  // namespace kelplat::x11

#endif  // KEL_PLATFORM_DISPLAY_X11_WINDOW_MOVER_H
