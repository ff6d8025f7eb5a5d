// The window's system menu popup on X11.
#include "x11_system_menu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

namespace kelplat::x11 {

std::vector<SystemMenuEntry> read_system_menu(HWND hwnd) {
  std::vector<SystemMenuEntry> entries;
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    int length = GetMenuStringA(menu, UINT(i), text, int(sizeof text), MF_BYPOSITION);
    SystemMenuEntry entry;
    entry.id = GetMenuItemID(menu, i);
    entry.text.assign(text, size_t(std::max(length, 0)));
    entry.separator = entry.id == 0 && entry.text.empty();
    entries.push_back(std::move(entry));
  }
  return entries;
}

int next_selectable(const std::vector<SystemMenuEntry>& entries, int current, int step) {
  int count = int(entries.size());
  if (count == 0) return -1;
  if (current < 0 || current >= count) current = step > 0 ? -1 : count;
  int index = current;
  for (int tries = 0; tries < count; ++tries) {
    index = ((index + step) % count + count) % count;
    if (!entries[size_t(index)].separator) return index;
  }
  return -1;
}

SystemMenuPopup::SystemMenuPopup(std::shared_ptr<Connection> connection, HWND owner,
                                 std::vector<SystemMenuEntry> entries, int root_x, int root_y)
    : connection_(std::move(connection)),
      owner_(owner),
      entries_(std::move(entries)),
      font_(connection_->display()) {
  Display* display = connection_->display();
  width_ = kMinWidth;
  for (const auto& entry : entries_) {
    width_ = std::max(width_, font_.width(entry.text) + 2 * kTextInset);
    height_ += entry_height(entry);
  }
  height_ = std::max(height_, 1) + 4;
  int screen_width = DisplayWidth(display, connection_->screen());
  int screen_height = DisplayHeight(display, connection_->screen());
  root_x = std::max(0, std::min(root_x, screen_width - width_));
  root_y = std::max(0, std::min(root_y, screen_height - height_));

  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.colormap = connection_->colormap();
  attributes.background_pixel = pixel_of(*connection_, colors::kFace);
  attributes.border_pixel = pixel_of(*connection_, colors::kDarkShadow);
  attributes.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  window_ = XCreateWindow(
      display, connection_->root(), root_x, root_y, unsigned(width_), unsigned(height_), 1,
      connection_->visual().depth, InputOutput, connection_->visual().visual,
      CWOverrideRedirect | CWSaveUnder | CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
      &attributes);
  gc_ = XCreateGC(display, window_, 0, nullptr);
  connection_->add_target(window_, this);
  XMapRaised(display, window_);
  bool keyboard = XGrabKeyboard(display, window_, False, GrabModeAsync, GrabModeAsync,
                                CurrentTime) == GrabSuccess;
  bool pointer =
      XGrabPointer(display, window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                   GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
  if (!keyboard && !pointer) {
    close();
    return;
  }
  selected_ = next_selectable(entries_, -1, 1);
}

SystemMenuPopup::~SystemMenuPopup() { close(); }

int SystemMenuPopup::entry_height(const SystemMenuEntry& entry) const {
  return entry.separator ? kSeparatorHeight : font_.line_height() + 6;
}

int SystemMenuPopup::entry_at(int y) const {
  int top = 2;
  for (size_t i = 0; i < entries_.size(); ++i) {
    int bottom = top + entry_height(entries_[i]);
    if (y >= top && y < bottom) return entries_[i].separator ? -1 : int(i);
    top = bottom;
  }
  return -1;
}

void SystemMenuPopup::draw() {
  if (!window_) return;
  const Connection& c = *connection_;
  fill_rect(c, window_, gc_, 0, 0, width_, height_, colors::kFace);
  int top = 2;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const SystemMenuEntry& entry = entries_[i];
    int h = entry_height(entry);
    if (entry.separator) {
      fill_rect(c, window_, gc_, 4, top + h / 2 - 1, width_ - 8, 1, colors::kShadow);
      fill_rect(c, window_, gc_, 4, top + h / 2, width_ - 8, 1, colors::kHighlight);
    } else {
      bool selected = int(i) == selected_;
      if (selected) fill_rect(c, window_, gc_, 2, top, width_ - 4, h, colors::kSelection);
      XSetForeground(c.display(), gc_,
                     pixel_of(c, selected ? colors::kSelectedText : colors::kText));
      font_.draw(window_, gc_, kTextInset, top + 3 + font_.ascent(), entry.text);
    }
    top += h;
  }
}

void SystemMenuPopup::select(int index) {
  if (index == selected_) return;
  selected_ = index;
  draw();
}

void SystemMenuPopup::choose(int index) {
  if (index < 0 || size_t(index) >= entries_.size() || entries_[size_t(index)].separator) return;
  UINT id = entries_[size_t(index)].id;
  HWND owner = owner_;
  close();
  // Sent, not posted, so that the command (a move, say) is under way before
  // the next key is read. The window, and this popup with it, may be gone
  // afterwards: nothing of this object is touched after the call.
  SendMessageA(owner, WM_SYSCOMMAND, WPARAM(id), 0);
}

void SystemMenuPopup::close() {
  if (!window_) return;
  Display* display = connection_->display();
  XUngrabKeyboard(display, CurrentTime);
  XUngrabPointer(display, CurrentTime);
  connection_->remove_target(window_);
  XFreeGC(display, gc_);
  XDestroyWindow(display, window_);
  XFlush(display);
  window_ = 0;
  gc_ = nullptr;
}

void SystemMenuPopup::handle_key(XKeyEvent& key) {
  KeySym sym = XLookupKeysym(&key, 0);
  switch (sym) {
    case XK_Up:
    case XK_KP_Up:
      select(next_selectable(entries_, selected_, -1));
      break;
    case XK_Down:
    case XK_KP_Down:
      select(next_selectable(entries_, selected_, 1));
      break;
    case XK_Home:
      select(next_selectable(entries_, -1, 1));
      break;
    case XK_End:
      select(next_selectable(entries_, -1, -1));
      break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      choose(selected_);
      break;
    case XK_Escape:
      close();
      break;
    default:
      break;
  }
}

void SystemMenuPopup::handle_event(XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) draw();
      break;
    case MotionNotify:
      select(entry_at(event.xmotion.x < 0 || event.xmotion.x >= width_ ? -1 : event.xmotion.y));
      break;
    case ButtonPress:
      // A press outside the popup dismisses it.
      if (event.xbutton.x < 0 || event.xbutton.y < 0 || event.xbutton.x >= width_ ||
          event.xbutton.y >= height_)
        close();
      break;
    case ButtonRelease:
      if (event.xbutton.x >= 0 && event.xbutton.x < width_) choose(entry_at(event.xbutton.y));
      break;
    case KeyPress:
      handle_key(event.xkey);
      break;
    default:
      break;
  }
}

}  // namespace kelplat::x11
