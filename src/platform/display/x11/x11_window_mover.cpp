// Moving a window with the pointer or the keyboard.
#include "x11_window_mover.h"

#include <X11/keysym.h>

namespace kelplat::x11 {
namespace {

// Directions of the window manager's move request.
constexpr long kMoveWithPointer = 8;
constexpr long kMoveWithKeyboard = 10;
constexpr long kNormalSource = 1;

}  // namespace

bool WindowMover::window_manager_moves() {
  return connection_->wm_supports(connection_->atoms().net_wm_moveresize);
}

bool WindowMover::window_origin(int* x, int* y) const {
  Window child;
  return XTranslateCoordinates(connection_->display(), window_, connection_->root(), 0, 0, x, y,
                               &child) != 0;
}

bool WindowMover::pointer_position(int* x, int* y) const {
  Window root, child;
  int window_x, window_y;
  unsigned int mask;
  return XQueryPointer(connection_->display(), connection_->root(), &root, &child, x, y, &window_x,
                       &window_y, &mask) != 0;
}

void WindowMover::ask_window_manager(int direction, int button, int root_x, int root_y) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = connection_->atoms().net_wm_moveresize;
  event.xclient.format = 32;
  event.xclient.data.l[0] = root_x;
  event.xclient.data.l[1] = root_y;
  event.xclient.data.l[2] = direction;
  event.xclient.data.l[3] = button;
  event.xclient.data.l[4] = kNormalSource;
  XSendEvent(connection_->display(), connection_->root(), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(connection_->display());
}

void WindowMover::begin_drag(int button, int root_x, int root_y, Time time) {
  if (window_manager_moves()) {
    // The window manager takes over the pointer for the move.
    XUngrabPointer(connection_->display(), time);
    ask_window_manager(kMoveWithPointer, button, root_x, root_y);
    return;
  }
  if (!window_origin(&start_x_, &start_y_)) return;
  // The press's implicit grab keeps the pointer's events coming to us.
  mode_ = Mode::kDrag;
  button_ = button;
  pointer_x_ = last_root_x_ = root_x;
  pointer_y_ = last_root_y_ = root_y;
  key_dx_ = key_dy_ = 0;
}

void WindowMover::begin_keyboard_move() {
  int x, y;
  if (!pointer_position(&x, &y)) return;
  if (window_manager_moves()) {
    ask_window_manager(kMoveWithKeyboard, 0, x, y);
    return;
  }
  if (!window_origin(&start_x_, &start_y_)) return;
  Display* display = connection_->display();
  if (XGrabKeyboard(display, window_, False, GrabModeAsync, GrabModeAsync, CurrentTime) !=
      GrabSuccess)
    return;
  XGrabPointer(display, window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
               GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  mode_ = Mode::kKeyboard;
  button_ = 0;
  pointer_x_ = last_root_x_ = x;
  pointer_y_ = last_root_y_ = y;
  key_dx_ = key_dy_ = 0;
}

void WindowMover::follow_pointer(int root_x, int root_y) {
  last_root_x_ = root_x;
  last_root_y_ = root_y;
  XMoveWindow(connection_->display(), window_, start_x_ + (root_x - pointer_x_) + key_dx_,
              start_y_ + (root_y - pointer_y_) + key_dy_);
}

void WindowMover::finish(bool restore) {
  Display* display = connection_->display();
  if (restore) XMoveWindow(display, window_, start_x_, start_y_);
  if (mode_ == Mode::kKeyboard) {
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
  }
  mode_ = Mode::kIdle;
}

bool WindowMover::handle(const XEvent& event) {
  if (mode_ == Mode::kIdle) return false;
  switch (event.type) {
    case MotionNotify:
      follow_pointer(event.xmotion.x_root, event.xmotion.y_root);
      return true;
    case ButtonPress:
      if (mode_ == Mode::kKeyboard) finish(false);
      return true;
    case ButtonRelease:
      if (mode_ == Mode::kDrag && int(event.xbutton.button) == button_) finish(false);
      return true;
    case KeyRelease:
      return true;
    case KeyPress:
      break;
    default:
      return false;
  }
  KeySym sym = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
  if (sym == XK_Escape) {
    finish(true);
  } else if (mode_ == Mode::kKeyboard) {
    if (sym == XK_Return || sym == XK_KP_Enter) {
      finish(false);
      return true;
    }
    key_dx_ += sym == XK_Left ? -kKeyStep : sym == XK_Right ? kKeyStep : 0;
    key_dy_ += sym == XK_Up ? -kKeyStep : sym == XK_Down ? kKeyStep : 0;
    follow_pointer(last_root_x_, last_root_y_);
  }
  return true;
}

}  // namespace kelplat::x11
