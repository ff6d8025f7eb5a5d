// The X11 side of one window.
#include "x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "x11_drawing.h"
#include "x11_keys.h"

namespace kelplat::x11 {
namespace {

constexpr long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                            FocusChangeMask;

// Window manager hints of the _MOTIF_WM_HINTS property.
constexpr long kMotifFunctions = 1, kMotifDecorations = 2;
constexpr long kMotifFuncMove = 4, kMotifFuncMinimize = 8, kMotifFuncClose = 32;
constexpr long kMotifDecorBorder = 2, kMotifDecorTitle = 8, kMotifDecorMenu = 16,
               kMotifDecorMinimize = 32;

constexpr int kWheelDelta = 120;

// X coordinates and sizes travel as 16-bit numbers.
int clamp_coordinate(long v) { return int(std::clamp<long>(v, SHRT_MIN, SHRT_MAX)); }
unsigned clamp_size(long v) { return unsigned(std::clamp<long>(v, 1, SHRT_MAX)); }

// Messages of X buttons 1 (left), 2 (middle) and 3 (right).
struct ButtonMessages {
  UINT down, up, double_click;
  WPARAM flag;
};
constexpr ButtonMessages kButtons[4] = {
    {0, 0, 0, 0},
    {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON},
};
bool is_mouse_button(unsigned button) { return button >= 1 && button <= 3; }

// The MK_* flags of an X modifier state (the state before the event).
WPARAM mouse_flags(unsigned state) {
  WPARAM flags = 0;
  if (state & Button1Mask) flags |= MK_LBUTTON;
  if (state & Button2Mask) flags |= MK_MBUTTON;
  if (state & Button3Mask) flags |= MK_RBUTTON;
  if (state & ShiftMask) flags |= MK_SHIFT;
  if (state & ControlMask) flags |= MK_CONTROL;
  return flags;
}

LPARAM point_param(int x, int y) { return MAKELPARAM(x, y); }

void set_long_property(Display* display, Window window, Atom name, Atom type, const long* values,
                       int count) {
  XChangeProperty(display, window, name, type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values), count);
}

}  // namespace

std::unique_ptr<X11Window> X11Window::create(std::shared_ptr<Connection> connection,
                                             const display::WindowSpec& spec) {
  Display* display = connection->display();
  POINT x_offset = spec.caption ? spec.client_offset : POINT{0, 0};
  long width = spec.caption ? spec.client_width : spec.outer.right - spec.outer.left;
  long height = spec.caption ? spec.client_height : spec.outer.bottom - spec.outer.top;

  XSetWindowAttributes attributes{};
  attributes.background_pixel = pixel_of(*connection, 0x000000);
  attributes.border_pixel = 0;
  attributes.colormap = connection->colormap();
  attributes.event_mask = kEventMask;
  take_x_error();
  Window window = XCreateWindow(
      display, connection->root(), clamp_coordinate(long(spec.outer.left) + x_offset.x),
      clamp_coordinate(long(spec.outer.top) + x_offset.y), clamp_size(width), clamp_size(height), 0,
      connection->visual().depth, InputOutput, connection->visual().visual,
      CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  XSync(display, False);
  if (window == 0 || take_x_error() != 0) {
    if (window) XDestroyWindow(display, window);
    return nullptr;
  }
  return std::unique_ptr<X11Window>(new X11Window(std::move(connection), spec, window));
}

X11Window::X11Window(std::shared_ptr<Connection> connection, const display::WindowSpec& spec,
                     Window window)
    : connection_(connection),
      hwnd_(spec.hwnd),
      window_(window),
      caption_(spec.caption),
      client_in_x_(spec.caption ? POINT{0, 0} : spec.client_offset),
      x_offset_(spec.caption ? spec.client_offset : POINT{0, 0}),
      client_width_(spec.client_width),
      client_height_(spec.client_height),
      double_clicks_(spec.double_clicks),
      presenter_(connection, window),
      mover_(connection, window),
      last_origin_{spec.outer.left, spec.outer.top},
      parent_(connection->root()) {
  if (!caption_) frame_gc_ = XCreateGC(connection_->display(), window_, 0, nullptr);
  set_properties(spec);
  connection_->add_target(window_, this);
}

X11Window::~X11Window() {
  menu_.reset();
  connection_->remove_target(window_);
  Display* display = connection_->display();
  if (frame_gc_) XFreeGC(display, frame_gc_);
  XDestroyWindow(display, window_);
  XFlush(display);
}

void X11Window::set_properties(const display::WindowSpec& spec) {
  Display* display = connection_->display();
  const Atoms& atoms = connection_->atoms();

  std::string latin1 = latin1_from_cp1252(spec.title);
  XStoreName(display, window_, latin1.c_str());
  std::string utf8 = utf8_from_cp1252(spec.title);
  XChangeProperty(display, window_, atoms.net_wm_name, atoms.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));

  XClassHint class_hint{const_cast<char*>("kel"), const_cast<char*>("Kel")};
  XSetClassHint(display, window_, &class_hint);
  XWMHints wm_hints{};
  wm_hints.flags = InputHint | StateHint;
  wm_hints.input = True;
  wm_hints.initial_state = NormalState;
  XSetWMHints(display, window_, &wm_hints);
  set_size_hints(int(spec.outer.left) + x_offset_.x, int(spec.outer.top) + x_offset_.y);

  Atom protocols[] = {atoms.wm_delete_window, atoms.net_wm_ping};
  XSetWMProtocols(display, window_, protocols, 2);

  // The process and machine, so that tools can tell whose window it is.
  long pid = long(getpid());
  set_long_property(display, window_, atoms.net_wm_pid, XA_CARDINAL, &pid, 1);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) {
    XTextProperty machine{reinterpret_cast<unsigned char*>(host), XA_STRING, 8,
                          static_cast<unsigned long>(std::strlen(host))};
    XSetWMClientMachine(display, window_, &machine);
  }

  long type = long(atoms.net_wm_window_type_normal);
  set_long_property(display, window_, atoms.net_wm_window_type, XA_ATOM, &type, 1);

  // A captioned window can be moved, minimised and closed but not resized
  // or maximised; a window without caption gets no decoration at all.
  long motif[5] = {kMotifDecorations, 0, 0, 0, 0};
  if (caption_) {
    motif[0] |= kMotifFunctions;
    motif[1] = kMotifFuncMove | kMotifFuncMinimize | kMotifFuncClose;
    motif[2] = kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu | kMotifDecorMinimize;
  }
  set_long_property(display, window_, atoms.motif_wm_hints, atoms.motif_wm_hints, motif, 5);
}

void X11Window::set_size_hints(int x, int y) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  // Static gravity: the position is the X window's own, decorations go
  // around it, so the client area lands where the platform computed.
  hints->flags = USPosition | PPosition | USSize | PSize | PMinSize | PMaxSize | PWinGravity;
  hints->x = x;
  hints->y = y;
  hints->width = hints->min_width = hints->max_width = int(clamp_size(x_width()));
  hints->height = hints->min_height = hints->max_height = int(clamp_size(x_height()));
  hints->win_gravity = StaticGravity;
  XSetWMNormalHints(connection_->display(), window_, hints);
  XFree(hints);
}

void X11Window::show(bool visible) {
  Display* display = connection_->display();
  if (visible) {
    XMapRaised(display, window_);
    focus_on_map_ = true;
  } else {
    XWithdrawWindow(display, window_, connection_->screen());
  }
  XFlush(display);
}

void X11Window::move(const RECT& outer, int client_width, int client_height) {
  client_width_ = client_width;
  client_height_ = client_height;
  last_origin_ = POINT{outer.left, outer.top};
  int x = clamp_coordinate(long(outer.left) + x_offset_.x);
  int y = clamp_coordinate(long(outer.top) + x_offset_.y);
  set_size_hints(x, y);
  XMoveResizeWindow(connection_->display(), window_, x, y, clamp_size(x_width()),
                    clamp_size(x_height()));
  XFlush(connection_->display());
}

void X11Window::present(const RECT& rect, const display::PictureView& picture) {
  presenter_.present(rect, picture, client_in_x_.x, client_in_x_.y);
}

void X11Window::system_command(UINT command) {
  switch (command & 0xFFF0) {
    case SC_MOVE:
      mover_.begin_keyboard_move();
      break;
    case SC_MINIMIZE:
      XIconifyWindow(connection_->display(), window_, connection_->screen());
      XFlush(connection_->display());
      break;
    default:
      break;
  }
}

void X11Window::draw_frame() {
  if (!frame_gc_) return;
  const Connection& c = *connection_;
  int width = x_width(), height = x_height();
  draw_bevel(c, window_, frame_gc_, 0, 0, width, height, false);
  // Rings inside the two-line bevel take the face colour.
  for (int ring = 2; ring < std::min(client_in_x_.x, client_in_x_.y); ++ring) {
    int w = width - 2 * ring, h = height - 2 * ring;
    fill_rect(c, window_, frame_gc_, ring, ring, w, 1, colors::kFace);
    fill_rect(c, window_, frame_gc_, ring, ring + h - 1, w, 1, colors::kFace);
    fill_rect(c, window_, frame_gc_, ring, ring, 1, h, colors::kFace);
    fill_rect(c, window_, frame_gc_, ring + w - 1, ring, 1, h, colors::kFace);
  }
}

bool X11Window::in_client(int x, int y) const {
  return x >= client_in_x_.x && y >= client_in_x_.y && x < client_in_x_.x + client_width_ &&
         y < client_in_x_.y + client_height_;
}

POINT X11Window::screen_point(int x, int y) const {
  RECT outer{};
  if (!GetWindowRect(hwnd_, &outer)) outer = RECT{last_origin_.x, last_origin_.y, 0, 0};
  return POINT{outer.left + x_offset_.x + x, outer.top + x_offset_.y + y};
}

bool X11Window::send_and_survive(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  std::shared_ptr<Connection> connection = connection_;
  Window window = window_;
  LRESULT answer = SendMessageA(hwnd_, message, wparam, lparam);
  if (result) *result = answer;
  return connection->has_target(window);
}

void X11Window::on_expose(const XExposeEvent& expose) {
  RECT client{client_in_x_.x, client_in_x_.y, client_in_x_.x + client_width_,
              client_in_x_.y + client_height_};
  RECT exposed{std::max<LONG>(expose.x, client.left), std::max<LONG>(expose.y, client.top),
               std::min<LONG>(expose.x + expose.width, client.right),
               std::min<LONG>(expose.y + expose.height, client.bottom)};
  if (exposed.left < exposed.right && exposed.top < exposed.bottom) {
    RECT dirty{exposed.left - client_in_x_.x, exposed.top - client_in_x_.y,
               exposed.right - client_in_x_.x, exposed.bottom - client_in_x_.y};
    InvalidateRect(hwnd_, &dirty, FALSE);
  }
  if (expose.count == 0) draw_frame();
}

void X11Window::on_configure(const XConfigureEvent& configure) {
  int x = configure.x, y = configure.y;
  // Synthetic events (from the window manager) and events of a window that
  // sits on the root carry root coordinates; otherwise ask the server.
  if (!configure.send_event && parent_ != connection_->root()) {
    Window child;
    if (!XTranslateCoordinates(connection_->display(), window_, connection_->root(), 0, 0, &x, &y,
                               &child))
      return;
  }
  POINT origin{x - x_offset_.x, y - x_offset_.y};
  if (origin.x == last_origin_.x && origin.y == last_origin_.y) return;
  last_origin_ = origin;
  clicks_.reset();
  display::native_window_moved(hwnd_, origin.x, origin.y);
}

void X11Window::on_button_press(const XButtonEvent& button) {
  if (button.button == 4 || button.button == 5) {
    POINT screen = screen_point(button.x, button.y);
    int delta = button.button == 4 ? kWheelDelta : -kWheelDelta;
    PostMessageA(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(mouse_flags(button.state), delta),
                 point_param(screen.x, screen.y));
    return;
  }
  if (!is_mouse_button(button.button)) return;
  if (button.button == 1) {
    POINT screen = screen_point(button.x, button.y);
    LRESULT hit = HTNOWHERE;
    if (!send_and_survive(WM_NCHITTEST, 0, point_param(screen.x, screen.y), &hit)) return;
    if (hit == HTCAPTION) {
      clicks_.reset();
      mover_.begin_drag(1, button.x_root, button.y_root, button.time);
      return;
    }
  }
  if (!in_client(button.x, button.y)) return;
  int x = button.x - client_in_x_.x, y = button.y - client_in_x_.y;
  const ButtonMessages& messages = kButtons[button.button];
  bool is_double = double_clicks_ && clicks_.press(int(button.button), x, y, uint32_t(button.time),
                                                   GetSystemMetrics(SM_CXDOUBLECLK),
                                                   GetSystemMetrics(SM_CYDOUBLECLK));
  buttons_down_ |= 1u << button.button;
  PostMessageA(hwnd_, is_double ? messages.double_click : messages.down,
               mouse_flags(button.state) | messages.flag, point_param(x, y));
}

void X11Window::on_button_release(const XButtonEvent& button) {
  if (!is_mouse_button(button.button)) return;
  bool was_down = (buttons_down_ & (1u << button.button)) != 0;
  buttons_down_ &= ~(1u << button.button);
  // A release pairs with a posted press even outside the client area.
  if (!was_down && !in_client(button.x, button.y)) return;
  const ButtonMessages& messages = kButtons[button.button];
  PostMessageA(hwnd_, messages.up, mouse_flags(button.state) & ~messages.flag,
               point_param(button.x - client_in_x_.x, button.y - client_in_x_.y));
}

void X11Window::on_motion(const XMotionEvent& motion) {
  if (!in_client(motion.x, motion.y)) return;
  PostMessageA(hwnd_, WM_MOUSEMOVE, mouse_flags(motion.state),
               point_param(motion.x - client_in_x_.x, motion.y - client_in_x_.y));
}

void X11Window::on_key(XKeyEvent& key, bool down) {
  char text[16];
  KeySym looked_up = NoSymbol;
  int length = XLookupString(&key, text, int(sizeof text), &looked_up, nullptr);
  KeySym unshifted = XLookupKeysym(&key, 0);
  bool alt = (key.state & Mod1Mask) != 0;
  if (down && alt && unshifted == XK_space) {
    open_system_menu();
    return;
  }
  KeySymbol sym = key_for_virtual_key(unshifted, looked_up);
  UINT virtual_key = virtual_key_from_keysym(sym);
  unsigned code = key.keycode & 0xFF;
  bool was_down = keys_down_[code];
  keys_down_[code] = down;

  // Repeat count 1, scan code, extended-key flag, Alt (context) flag, and
  // the previous-state and transition flags.
  DWORD flags = 1 | (DWORD((code - 8) & 0xFF) << 16);
  if (is_extended_key(sym)) flags |= 1u << 24;
  if (alt) flags |= 1u << 29;
  if (!down || was_down) flags |= 1u << 30;
  if (!down) flags |= 1u << 31;

  // Alt combinations and F10 are system keys, as is Alt itself.
  bool system = alt || virtual_key == VK_MENU || virtual_key == VK_F10;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  int character = down ? char_from_key(looked_up, std::string_view(text, size_t(length))) : 0;
  display::post_key_message(hwnd_, message, virtual_key, LPARAM(flags), std::max(character, 0));
}

void X11Window::on_client_message(const XClientMessageEvent& message) {
  const Atoms& atoms = connection_->atoms();
  if (message.message_type != atoms.wm_protocols || message.format != 32) return;
  Atom protocol = Atom(message.data.l[0]);
  if (protocol == atoms.net_wm_ping) {
    XEvent reply{};
    reply.xclient = message;
    reply.xclient.window = connection_->root();
    XSendEvent(connection_->display(), connection_->root(), False,
               SubstructureNotifyMask | SubstructureRedirectMask, &reply);
  } else if (protocol == atoms.wm_delete_window) {
    // The close button: the window procedure decides (the default procedure
    // turns it into WM_CLOSE). The window may be gone afterwards.
    send_and_survive(WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

void X11Window::open_system_menu() {
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(connection_->display(), window_, connection_->root(), client_in_x_.x,
                        client_in_x_.y, &x, &y, &child);
  menu_.reset();
  menu_ = std::make_unique<SystemMenuPopup>(connection_, hwnd_, read_system_menu(hwnd_), x, y);
}

void X11Window::handle_event(XEvent& event) {
  if (mover_.handle(event)) return;
  switch (event.type) {
    case Expose:
      on_expose(event.xexpose);
      break;
    case ConfigureNotify:
      on_configure(event.xconfigure);
      break;
    case ReparentNotify:
      parent_ = event.xreparent.parent;
      break;
    case MapNotify:
      if (focus_on_map_) {
        XSetInputFocus(connection_->display(), window_, RevertToParent, CurrentTime);
        focus_on_map_ = false;
      }
      break;
    case FocusOut:
      keys_down_.reset();
      break;
    case ButtonPress:
      on_button_press(event.xbutton);
      break;
    case ButtonRelease:
      on_button_release(event.xbutton);
      break;
    case MotionNotify:
      on_motion(event.xmotion);
      break;
    case KeyPress:
      on_key(event.xkey, true);
      break;
    case KeyRelease:
      on_key(event.xkey, false);
      break;
    case ClientMessage:
      on_client_message(event.xclient);
      break;
    default:
      break;
  }
}

}  // namespace kelplat::x11
