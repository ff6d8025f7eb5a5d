// The print dialog on X11.
#include "x11_print_dialog.h"

#include <X11/keysym.h>

#include <algorithm>

#include "x11_connection.h"
#include "x11_dialog.h"
#include "x11_drawing.h"

namespace kelplat::x11 {
namespace {

constexpr int kMargin = 12;
constexpr int kListWidth = 300;
constexpr int kVisibleRows = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr const char* kLabel = "Print on:";
enum Button { kOk = 0, kCancel = 1 };
constexpr const char* kButtonLabels[] = {"OK", "Cancel"};

class PrintDialog : public DialogWindow {
 public:
  PrintDialog(Connection& connection, const std::vector<std::string>& printers, int initial)
      : DialogWindow(connection),
        font_(connection.display()),
        printers_(printers),
        selected_(std::clamp(initial, 0, int(printers.size()) - 1)) {
    row_height_ = font_.line_height() + 4;
    list_top_ = kMargin + font_.line_height() + 4;
    rows_ = std::min(int(printers_.size()), kVisibleRows);
    int list_bottom = list_top_ + rows_ * row_height_ + 4;
    width_ = kListWidth + 2 * kMargin;
    int button_top = list_bottom + kMargin;
    height_ = button_top + kButtonHeight + kMargin;
    int left = width_ - kMargin - 2 * kButtonWidth - kButtonGap;
    for (RECT& button : buttons_) {
      button = RECT{left, button_top, left + kButtonWidth, button_top + kButtonHeight};
      left += kButtonWidth + kButtonGap;
    }
    create(width_, height_, "Print", "kel-print");
    scroll_to_selection();
  }

  int answer() const { return answer_; }

 private:
  void finish(int value) {
    answer_ = value;
    answered_ = true;
  }

  void scroll_to_selection() {
    if (selected_ < first_row_) first_row_ = selected_;
    if (selected_ >= first_row_ + rows_) first_row_ = selected_ - rows_ + 1;
  }

  void select(int index) {
    selected_ = std::clamp(index, 0, int(printers_.size()) - 1);
    scroll_to_selection();
    draw();
  }

  void draw_list() {
    const Connection& c = connection_;
    int list_height = rows_ * row_height_ + 4;
    fill_rect(c, window_, gc_, kMargin, list_top_, kListWidth, list_height, colors::kWindow);
    draw_bevel(c, window_, gc_, kMargin, list_top_, kListWidth, list_height, true);
    for (int row = 0; row < rows_; ++row) {
      int index = first_row_ + row;
      int top = list_top_ + 2 + row * row_height_;
      bool selected = index == selected_;
      if (selected) fill_rect(c, window_, gc_, kMargin + 2, top, kListWidth - 4, row_height_,
                              colors::kSelection);
      XSetForeground(c.display(), gc_,
                     pixel_of(c, selected ? colors::kSelectedText : colors::kText));
      font_.draw(window_, gc_, kMargin + 6, top + 2 + font_.ascent(), printers_[size_t(index)]);
    }
  }

  void draw() override {
    fill_rect(connection_, window_, gc_, 0, 0, width_, height_, colors::kFace);
    XSetForeground(connection_.display(), gc_, pixel_of(connection_, colors::kText));
    font_.draw(window_, gc_, kMargin, kMargin + font_.ascent(), kLabel);
    draw_list();
    for (int i : {kOk, kCancel}) {
      draw_push_button(connection_, window_, gc_, font_, buttons_[i], kButtonLabels[i], i == kOk,
                       i == pressed_);
    }
  }

  int button_at(int x, int y) const {
    for (int i : {kOk, kCancel}) {
      const RECT& r = buttons_[i];
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
  }

  int row_at(int x, int y) const {
    if (x < kMargin || x >= kMargin + kListWidth || y < list_top_ + 2) return -1;
    int row = (y - list_top_ - 2) / row_height_;
    return row < rows_ ? first_row_ + row : -1;
  }

  void on_key(XKeyEvent& key) override {
    switch (XLookupKeysym(&key, 0)) {
      case XK_Return:
      case XK_KP_Enter:
        finish(selected_);
        break;
      case XK_Escape:
        finish(-1);
        break;
      case XK_Up:
      case XK_KP_Up:
        select(selected_ - 1);
        break;
      case XK_Down:
      case XK_KP_Down:
        select(selected_ + 1);
        break;
      case XK_Home:
        select(0);
        break;
      case XK_End:
        select(int(printers_.size()) - 1);
        break;
      default:
        break;
    }
  }

  void on_button(const XButtonEvent& button, bool down) override {
    if (button.button != Button1) return;
    int pressed = button_at(button.x, button.y);
    if (down) {
      int row = row_at(button.x, button.y);
      if (row >= 0) selected_ = row;
      pressed_ = pressed;
    } else {
      if (pressed >= 0 && pressed == pressed_) finish(pressed == kOk ? selected_ : -1);
      pressed_ = -1;
    }
    if (!answered_) draw();
  }

  void on_close() override { finish(-1); }
  bool answered() const override { return answered_; }

  CoreFont font_;
  const std::vector<std::string>& printers_;
  int selected_;
  int first_row_ = 0;
  int rows_ = 0;
  int row_height_ = 0;
  int list_top_ = 0;
  int width_ = 0;
  int height_ = 0;
  RECT buttons_[2] = {};
  int pressed_ = -1;
  bool answered_ = false;
  int answer_ = -1;
};

}  // namespace

int run_print_dialog(const std::vector<std::string>& printers, int initial) {
  if (printers.empty()) return -1;
  std::shared_ptr<Connection> connection = thread_connection(true);
  if (!connection) return -1;
  PrintDialog dialog(*connection, printers, initial);
  dialog.run();
  return dialog.answer();
}

}  // namespace kelplat::x11
