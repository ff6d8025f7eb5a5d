// The message box on X11.
#include "x11_message_box.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

#include "x11_connection.h"
#include "x11_dialog.h"
#include "x11_drawing.h"
#include "x11_keys.h"

namespace kelplat::x11 {

std::vector<MessageBoxButton> message_box_buttons(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "Yes"}, {IDNO, "No"}};
    default:
      return {{IDOK, "OK"}};
  }
}

int message_box_dismiss_answer(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return 0;
    default:
      return IDOK;
  }
}

MessageBoxLayout layout_message_box(std::string_view text, UINT type, const TextWidth& width_of,
                                    int line_height) {
  using L = MessageBoxLayout;
  MessageBoxLayout layout;
  layout.has_icon = (type & 0xF0) == MB_ICONHAND;
  layout.line_height = line_height;
  layout.lines = wrap_text(text, L::kTextWidth, width_of, L::kMaxLines);
  int text_width = 0;
  for (const auto& line : layout.lines) text_width = std::max(text_width, width_of(line));
  int text_height = int(layout.lines.size()) * line_height;
  int content_height = std::max(layout.has_icon ? L::kIconSize : 0, text_height);

  layout.text_left = L::kMargin + (layout.has_icon ? L::kIconSize + L::kMargin : 0);
  layout.text_top = L::kMargin + (content_height - text_height) / 2;
  if (layout.has_icon) {
    int top = L::kMargin + (content_height - L::kIconSize) / 2;
    layout.icon = RECT{L::kMargin, top, L::kMargin + L::kIconSize, top + L::kIconSize};
  }

  std::vector<MessageBoxButton> buttons = message_box_buttons(type);
  std::vector<int> widths;
  int buttons_width = 0;
  for (const auto& button : buttons) {
    widths.push_back(std::max(L::kButtonWidth, width_of(button.label) + 16));
    buttons_width += widths.back();
  }
  buttons_width += L::kButtonGap * int(buttons.size() - 1);

  layout.width = std::max(
      {L::kMinWidth, layout.text_left + text_width + L::kMargin, buttons_width + 2 * L::kMargin});
  layout.button_area_top = L::kMargin + content_height + L::kMargin;
  int button_top = layout.button_area_top + L::kMargin;
  layout.height = button_top + L::kButtonHeight + L::kMargin;
  int left = (layout.width - buttons_width) / 2;
  for (int width : widths) {
    layout.buttons.push_back(RECT{left, button_top, left + width, button_top + L::kButtonHeight});
    left += width + L::kButtonGap;
  }
  return layout;
}

namespace {

class MessageBoxWindow : public DialogWindow {
 public:
  MessageBoxWindow(Connection& connection, const std::string& text, const std::string& caption,
                   UINT type)
      : DialogWindow(connection),
        font_(connection.display()),
        buttons_(message_box_buttons(type)),
        dismiss_answer_(message_box_dismiss_answer(type)),
        layout_(layout_message_box(
            text, type, [this](std::string_view s) { return font_.width(s); },
            font_.line_height())) {
    create(layout_.width, layout_.height, caption, "kel-message");
  }

  int answer() const { return answer_; }

 private:
  bool answered() const override { return answer_ != 0; }
  void on_close() override { answer_ = dismiss_answer_; }

  void draw_error_sign() {
    Display* display = connection_.display();
    const RECT& r = layout_.icon;
    int size = r.right - r.left;
    XSetForeground(display, gc_, pixel_of(connection_, colors::kErrorRed));
    XFillArc(display, window_, gc_, r.left, r.top, unsigned(size), unsigned(size), 0, 360 * 64);
    XSetForeground(display, gc_, pixel_of(connection_, colors::kWindow));
    XSetLineAttributes(display, gc_, 3, LineSolid, CapRound, JoinRound);
    int inset = size * 3 / 10;
    XDrawLine(display, window_, gc_, r.left + inset, r.top + inset, r.right - 1 - inset,
              r.bottom - 1 - inset);
    XDrawLine(display, window_, gc_, r.right - 1 - inset, r.top + inset, r.left + inset,
              r.bottom - 1 - inset);
    XSetLineAttributes(display, gc_, 0, LineSolid, CapButt, JoinMiter);
  }

  void draw_button(size_t index) {
    bool pressed = int(index) == pressed_ && pointer_on_pressed_;
    draw_push_button(connection_, window_, gc_, font_, layout_.buttons[index],
                     buttons_[index].label, int(index) == focused_, pressed);
  }

  void draw() override {
    Display* display = connection_.display();
    fill_rect(connection_, window_, gc_, 0, 0, layout_.width, layout_.button_area_top,
              colors::kWindow);
    fill_rect(connection_, window_, gc_, 0, layout_.button_area_top, layout_.width,
              layout_.height - layout_.button_area_top, colors::kFace);
    if (layout_.has_icon) draw_error_sign();
    XSetForeground(display, gc_, pixel_of(connection_, colors::kText));
    int baseline = layout_.text_top + font_.ascent();
    for (const auto& line : layout_.lines) {
      font_.draw(window_, gc_, layout_.text_left, baseline, line);
      baseline += layout_.line_height;
    }
    for (size_t i = 0; i < buttons_.size(); ++i) draw_button(i);
  }

  int button_at(int x, int y) const {
    for (size_t i = 0; i < layout_.buttons.size(); ++i) {
      const RECT& r = layout_.buttons[i];
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return int(i);
    }
    return -1;
  }

  void focus(int index) {
    int count = int(buttons_.size());
    focused_ = ((index % count) + count) % count;
    draw();
  }

  void on_key(XKeyEvent& key) override {
    switch (XLookupKeysym(&key, 0)) {
      case XK_Return:
      case XK_KP_Enter:
      case XK_space:
        answer_ = buttons_[size_t(focused_)].answer;
        break;
      case XK_Escape:
        answer_ = dismiss_answer_;
        break;
      case XK_Tab:
      case XK_Right:
        focus(focused_ + 1);
        break;
      case XK_ISO_Left_Tab:
      case XK_Left:
        focus(focused_ - 1);
        break;
      default:
        break;
    }
  }

  void on_button(const XButtonEvent& button, bool down) override {
    if (button.button != Button1) return;
    int index = button_at(button.x, button.y);
    if (down) {
      pressed_ = index;
      pointer_on_pressed_ = index >= 0;
      if (index >= 0) focused_ = index;
    } else {
      if (index >= 0 && index == pressed_) answer_ = buttons_[size_t(index)].answer;
      pressed_ = -1;
      pointer_on_pressed_ = false;
    }
    draw();
  }

  CoreFont font_;
  std::vector<MessageBoxButton> buttons_;
  int dismiss_answer_;
  MessageBoxLayout layout_;
  int focused_ = 0;
  int pressed_ = -1;
  bool pointer_on_pressed_ = false;
  int answer_ = 0;
};

}  // namespace

int run_message_box(const std::string& text, const std::string& caption, UINT type) {
  std::shared_ptr<Connection> connection = Connection::open();
  if (!connection) return 0;
  MessageBoxWindow box(*connection, text, caption, type);
  box.run();
  return box.answer();
}

}  // namespace kelplat::x11
