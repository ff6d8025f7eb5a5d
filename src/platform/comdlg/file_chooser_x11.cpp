// Our own file chooser drawn with core Xlib: the folder's path, its entries,
// a line for messages, the name field and the OK and Cancel buttons.
#ifdef KEL_HAVE_X11

#include "file_chooser_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "file_chooser_model.h"
#include "x11/x11_connection.h"

namespace kelplat::comdlg {

namespace {

using Outcome = ChooserModel::Outcome;

constexpr int kMargin = 8;
constexpr int kWidth = 440;
constexpr int kVisibleRows = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kLabelWidth = 48;
constexpr Time kDoubleClickMs = 400;

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool contains(int px, int py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
};

// Where everything goes, from the font's line height.
struct Layout {
  explicit Layout(int line_height) : row_height(line_height + 2) {
    path = {kMargin, kMargin, kWidth - 2 * kMargin, row_height};
    list = {kMargin, path.y + path.height + 4, kWidth - 2 * kMargin, kVisibleRows * row_height + 4};
    message = {kMargin, list.y + list.height + 4, kWidth - 2 * kMargin, row_height};
    field = {kMargin + kLabelWidth, message.y + message.height + 4,
             kWidth - 2 * kMargin - kLabelWidth, row_height + 6};
    int buttons_top = field.y + field.height + 10;
    cancel = {kWidth - kMargin - kButtonWidth, buttons_top, kButtonWidth, kButtonHeight};
    ok = {cancel.x - kMargin - kButtonWidth, buttons_top, kButtonWidth, kButtonHeight};
    height = buttons_top + kButtonHeight + kMargin;
  }
  int row_height;
  Box path, list, message, field, ok, cancel;
  int height;
};

enum class State { kRunning, kAccepted, kCancelled };

unsigned long pixel_of(Display* display, unsigned rgb) {
  XColor color{};
  color.red = uint16_t(((rgb >> 16) & 0xFF) * 257);
  color.green = uint16_t(((rgb >> 8) & 0xFF) * 257);
  color.blue = uint16_t((rgb & 0xFF) * 257);
  color.flags = DoRed | DoGreen | DoBlue;
  if (!XAllocColor(display, DefaultColormap(display, DefaultScreen(display)), &color))
    return rgb ? WhitePixel(display, DefaultScreen(display)) : BlackPixel(display, DefaultScreen(display));
  return color.pixel;
}

class ChooserWindow {
 public:
  ChooserWindow(Display* display, XFontStruct* font, const ChooserRequest& request)
      : display_(display),
        font_(font),
        request_(request),
        model_(request),
        layout_(font->ascent + font->descent),
        face_(pixel_of(display, 0xD4D0C8)),
        white_(pixel_of(display, 0xFFFFFF)),
        black_(pixel_of(display, 0x000000)),
        shadow_(pixel_of(display, 0x808080)),
        highlight_(pixel_of(display, 0x000080)),
        alert_(pixel_of(display, 0xC00000)) {
    create_window();
  }

  ~ChooserWindow() {
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    XSync(display_, False);
  }

  ChooserWindow(const ChooserWindow&) = delete;
  ChooserWindow& operator=(const ChooserWindow&) = delete;

  bool run(std::string* path) {
    XMapRaised(display_, window_);
    while (state_ == State::kRunning) {
      XEvent event;
      XNextEvent(display_, &event);
      handle(event);
    }
    if (state_ != State::kAccepted) return false;
    *path = model_.chosen_path();
    return true;
  }

 private:
  void create_window() {
    int screen = DefaultScreen(display_);
    int x = std::max(0, (DisplayWidth(display_, screen) - kWidth) / 2);
    int y = std::max(0, (DisplayHeight(display_, screen) - layout_.height) / 2);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = face_;
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                            StructureNotifyMask;
    window_ = XCreateWindow(display_, RootWindow(display_, screen), x, y, kWidth,
                            unsigned(layout_.height), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    XSetFont(display_, gc_, font_->fid);
    describe_window(x, y);
  }

  // Name, fixed size, close button and owner for the window manager.
  void describe_window(int x, int y) {
    XStoreName(display_, window_, request_.title.c_str());
    if (XSizeHints* hints = XAllocSizeHints()) {
      hints->flags = PPosition | PMinSize | PMaxSize;
      hints->x = x;
      hints->y = y;
      hints->min_width = hints->max_width = kWidth;
      hints->min_height = hints->max_height = layout_.height;
      XSetWMNormalHints(display_, window_, hints);
      XFree(hints);
    }
    XWMHints wm_hints{};
    wm_hints.flags = InputHint;
    wm_hints.input = True;
    XSetWMHints(display_, window_, &wm_hints);
    delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &delete_window_, 1);
    long pid = long(getpid());
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    Atom dialog = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False),
                    XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
  }

  // ------------------------------------------------------------- drawing
  void fill(const Box& box, unsigned long pixel) {
    XSetForeground(display_, gc_, pixel);
    XFillRectangle(display_, window_, gc_, box.x, box.y, unsigned(box.width),
                   unsigned(box.height));
  }

  // A sunken (field, list) or raised (button) edge around the box.
  void bevel(const Box& box, bool sunken) {
    int right = box.x + box.width - 1, bottom = box.y + box.height - 1;
    XSetForeground(display_, gc_, sunken ? shadow_ : white_);
    XDrawLine(display_, window_, gc_, box.x, box.y, right, box.y);
    XDrawLine(display_, window_, gc_, box.x, box.y, box.x, bottom);
    XSetForeground(display_, gc_, sunken ? white_ : shadow_);
    XDrawLine(display_, window_, gc_, right, box.y, right, bottom);
    XDrawLine(display_, window_, gc_, box.x, bottom, right, bottom);
  }

  int text_width(const std::string& text) const {
    return XTextWidth(font_, text.data(), int(text.size()));
  }

  // The end of the text that fits in `width` (the part one is typing).
  std::string fitting_tail(const std::string& text, int width) const {
    size_t start = 0;
    while (start < text.size() && text_width(text.substr(start)) > width) ++start;
    return text.substr(start);
  }

  void text(int x, int y_top, const std::string& line, unsigned long pixel) {
    XSetForeground(display_, gc_, pixel);
    XDrawString(display_, window_, gc_, x, y_top + 1 + font_->ascent, line.data(),
                int(line.size()));
  }

  void draw_list() {
    fill(layout_.list, white_);
    bevel(layout_.list, true);
    const auto& entries = model_.entries();
    for (int row = 0; row < kVisibleRows && scroll_ + row < int(entries.size()); ++row) {
      int index = scroll_ + row;
      Box line{layout_.list.x + 2, layout_.list.y + 2 + row * layout_.row_height,
               layout_.list.width - 4, layout_.row_height};
      bool selected = index == model_.selected();
      if (selected) fill(line, highlight_);
      const DirectoryEntry& entry = entries[size_t(index)];
      text(line.x + 2, line.y, entry.directory ? entry.name + "/" : entry.name,
           selected ? white_ : black_);
    }
  }

  void draw_button(const Box& box, const char* label, bool pressed) {
    fill(box, face_);
    XSetForeground(display_, gc_, black_);
    XDrawRectangle(display_, window_, gc_, box.x, box.y, unsigned(box.width - 1),
                   unsigned(box.height - 1));
    bevel({box.x + 1, box.y + 1, box.width - 2, box.height - 2}, pressed);
    int shift = pressed ? 1 : 0;
    text(box.x + (box.width - text_width(label)) / 2 + shift,
         box.y + (box.height - layout_.row_height) / 2 + shift, label, black_);
  }

  void draw() {
    fill({0, 0, kWidth, layout_.height}, face_);
    text(layout_.path.x, layout_.path.y, fitting_tail(model_.directory(), layout_.path.width),
         black_);
    draw_list();
    text(layout_.message.x, layout_.message.y, model_.message(), alert_);
    text(kMargin, layout_.field.y + 3, "Name:", black_);
    fill(layout_.field, white_);
    bevel(layout_.field, true);
    std::string shown = fitting_tail(model_.name(), layout_.field.width - 8);
    text(layout_.field.x + 3, layout_.field.y + 2, shown, black_);
    int caret = layout_.field.x + 3 + text_width(shown);
    XSetForeground(display_, gc_, black_);
    XDrawLine(display_, window_, gc_, caret, layout_.field.y + 3, caret,
              layout_.field.y + layout_.field.height - 4);
    draw_button(layout_.ok, "OK", pressed_ == &layout_.ok);
    draw_button(layout_.cancel, "Cancel", pressed_ == &layout_.cancel);
  }

  // ------------------------------------------------------------- input
  void keep_selection_visible() {
    int selected = model_.selected();
    if (selected < 0) return;
    if (selected < scroll_) scroll_ = selected;
    if (selected >= scroll_ + kVisibleRows) scroll_ = selected - kVisibleRows + 1;
  }

  void scroll_by(int rows) {
    int last = std::max(0, int(model_.entries().size()) - kVisibleRows);
    scroll_ = std::clamp(scroll_ + rows, 0, last);
  }

  void settle(Outcome outcome) {
    switch (outcome) {
      case Outcome::kAccepted:
        state_ = State::kAccepted;
        return;
      case Outcome::kConfirmOverwrite:
        if (confirm_overwrite()) {
          state_ = State::kAccepted;
          return;
        }
        break;
      case Outcome::kRefused:
        XBell(display_, 0);
        break;
      case Outcome::kEntered:
        scroll_ = 0;
        break;
      case Outcome::kNothing:
        break;
    }
    draw();
  }

  // The question goes through the platform's message box, so it looks like
  // every other box of the program.
  bool confirm_overwrite() {
    std::string name = std::filesystem::path(model_.chosen_path()).filename().string();
    std::string question = name + " already exists.\nReplace it?";
    return MessageBoxA(nullptr, question.c_str(), request_.title.c_str(),
                       MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
  }

  void on_key(XKeyEvent& key) {
    char typed[8];
    KeySym sym = NoSymbol;
    int count = XLookupString(&key, typed, sizeof typed, &sym, nullptr);
    switch (sym) {
      case XK_Return:
      case XK_KP_Enter:
        settle(model_.activate());
        return;
      case XK_Escape:
        state_ = State::kCancelled;
        return;
      case XK_Up:
        model_.move_selection(-1);
        break;
      case XK_Down:
        model_.move_selection(1);
        break;
      case XK_Page_Up:
        model_.move_selection(-kVisibleRows);
        break;
      case XK_Page_Down:
        model_.move_selection(kVisibleRows);
        break;
      case XK_BackSpace:
        model_.erase();
        break;
      default:
        if (count != 1 || static_cast<unsigned char>(typed[0]) < 0x20 || typed[0] == 0x7F) return;
        model_.type(typed[0]);
        break;
    }
    keep_selection_visible();
    draw();
  }

  void on_list_click(const XButtonEvent& button) {
    int row = (button.y - layout_.list.y - 2) / layout_.row_height;
    int index = scroll_ + row;
    if (row < 0 || row >= kVisibleRows || index >= int(model_.entries().size())) return;
    bool double_click = index == last_click_index_ && button.time - last_click_time_ < kDoubleClickMs;
    last_click_index_ = double_click ? -1 : index;
    last_click_time_ = button.time;
    if (double_click) {
      settle(model_.activate_entry(index));
      return;
    }
    model_.select(index);
    draw();
  }

  void on_press(const XButtonEvent& button) {
    if (button.button == Button4 || button.button == Button5) {
      scroll_by(button.button == Button4 ? -3 : 3);
      draw();
    } else if (button.button == Button1) {
      if (layout_.list.contains(button.x, button.y)) {
        on_list_click(button);
        return;
      }
      if (layout_.ok.contains(button.x, button.y)) pressed_ = &layout_.ok;
      if (layout_.cancel.contains(button.x, button.y)) pressed_ = &layout_.cancel;
      draw();
    }
  }

  void on_release(const XButtonEvent& button) {
    if (button.button != Button1 || !pressed_) return;
    const Box* released_on = pressed_->contains(button.x, button.y) ? pressed_ : nullptr;
    pressed_ = nullptr;
    if (released_on == &layout_.cancel) {
      state_ = State::kCancelled;
    } else if (released_on == &layout_.ok) {
      settle(model_.activate());
    } else {
      draw();
    }
  }

  void handle(XEvent& event) {
    switch (event.type) {
      case Expose:
        if (event.xexpose.count == 0) draw();
        break;
      case MapNotify:
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        break;
      case KeyPress:
        on_key(event.xkey);
        break;
      case ButtonPress:
        on_press(event.xbutton);
        break;
      case ButtonRelease:
        on_release(event.xbutton);
        break;
      case ClientMessage:
        if (Atom(event.xclient.data.l[0]) == delete_window_) state_ = State::kCancelled;
        break;
      default:
        break;
    }
  }

  Display* display_;
  XFontStruct* font_;
  const ChooserRequest& request_;
  ChooserModel model_;
  Layout layout_;
  unsigned long face_, white_, black_, shadow_, highlight_, alert_;
  Window window_ = 0;
  GC gc_ = nullptr;
  Atom delete_window_ = None;
  State state_ = State::kRunning;
  int scroll_ = 0;
  const Box* pressed_ = nullptr;
  int last_click_index_ = -1;
  Time last_click_time_ = 0;
};

}  // namespace

bool run_own_chooser(const ChooserRequest& request, std::string* path) {
  x11::initialize_xlib();
  x11::DisplayUse use;
  if (!use.active()) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  bool chosen = false;
  if (XFontStruct* font = XLoadQueryFont(display, "fixed")) {
    {
      ChooserWindow window(display, font, request);
      chosen = window.run(path);
    }
    XFreeFont(display, font);
  }
  XCloseDisplay(display);
  return chosen;
}

}  // namespace kelplat::comdlg

#endif  // KEL_HAVE_X11
