// Our own file chooser drawn with core Xlib: the folder's path, its entries,
// a line for messages, the name field and the OK and Cancel buttons.
#include "x11_file_chooser.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <filesystem>

#include "file_chooser_model.h"
#include "x11_connection.h"
#include "x11_dialog.h"
#include "x11_drawing.h"

namespace kelplat::x11 {

namespace {

using comdlg::ChooserModel;
using comdlg::ChooserRequest;
using comdlg::DirectoryEntry;
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

// The chooser's window on the calling thread's connection, which it shares
// with the thread's other windows: while it waits for the user, their
// events go on to them as usual.
class ChooserWindow : public DialogWindow {
 public:
  ChooserWindow(Connection& connection, const ChooserRequest& request)
      : DialogWindow(connection),
        display_(connection.display()),
        font_(connection.display()),
        request_(request),
        model_(request),
        layout_(font_.line_height()) {
    create(kWidth, layout_.height, request_.title, "kel-file-chooser");
  }

  // True with *path set when a name was chosen.
  bool chosen(std::string* path) const {
    if (state_ != State::kAccepted) return false;
    *path = model_.chosen_path();
    return true;
  }

 private:
  bool answered() const override { return state_ != State::kRunning; }
  void on_close() override { state_ = State::kCancelled; }

  // ------------------------------------------------------------- drawing
  void fill(const Box& box, uint32_t rgb) {
    fill_rect(connection_, window_, gc_, box.x, box.y, box.width, box.height, rgb);
  }

  // A sunken (field, list) or raised (button) edge around the box.
  void bevel(const Box& box, bool sunken) {
    draw_bevel(connection_, window_, gc_, box.x, box.y, box.width, box.height, sunken);
  }

  int text_width(const std::string& text) const { return font_.width(text); }

  // The end of the text that fits in `width` (the part one is typing).
  std::string fitting_tail(const std::string& text, int width) const {
    size_t start = 0;
    while (start < text.size() && text_width(text.substr(start)) > width) ++start;
    return text.substr(start);
  }

  void text(int x, int y_top, const std::string& line, uint32_t rgb) {
    XSetForeground(display_, gc_, pixel_of(connection_, rgb));
    font_.draw(window_, gc_, x, y_top + 1 + font_.ascent(), line);
  }

  void draw_list() {
    fill(layout_.list, colors::kWindow);
    bevel(layout_.list, true);
    const auto& entries = model_.entries();
    for (int row = 0; row < kVisibleRows && scroll_ + row < int(entries.size()); ++row) {
      int index = scroll_ + row;
      Box line{layout_.list.x + 2, layout_.list.y + 2 + row * layout_.row_height,
               layout_.list.width - 4, layout_.row_height};
      bool selected = index == model_.selected();
      if (selected) fill(line, colors::kSelection);
      const DirectoryEntry& entry = entries[size_t(index)];
      text(line.x + 2, line.y, entry.directory ? entry.name + "/" : entry.name,
           selected ? colors::kSelectedText : colors::kText);
    }
  }

  void draw_button(const Box& box, const char* label, bool pressed) {
    fill(box, colors::kFace);
    XSetForeground(display_, gc_, pixel_of(connection_, colors::kText));
    XDrawRectangle(display_, window_, gc_, box.x, box.y, unsigned(box.width - 1),
                   unsigned(box.height - 1));
    bevel({box.x + 1, box.y + 1, box.width - 2, box.height - 2}, pressed);
    int shift = pressed ? 1 : 0;
    text(box.x + (box.width - text_width(label)) / 2 + shift,
         box.y + (box.height - layout_.row_height) / 2 + shift, label, colors::kText);
  }

  void draw() override {
    fill({0, 0, kWidth, layout_.height}, colors::kFace);
    text(layout_.path.x, layout_.path.y, fitting_tail(model_.directory(), layout_.path.width),
         colors::kText);
    draw_list();
    text(layout_.message.x, layout_.message.y, model_.message(), colors::kErrorRed);
    text(kMargin, layout_.field.y + 3, "Name:", colors::kText);
    fill(layout_.field, colors::kWindow);
    bevel(layout_.field, true);
    std::string shown = fitting_tail(model_.name(), layout_.field.width - 8);
    text(layout_.field.x + 3, layout_.field.y + 2, shown, colors::kText);
    int caret = layout_.field.x + 3 + text_width(shown);
    XSetForeground(display_, gc_, pixel_of(connection_, colors::kText));
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

  void on_key(XKeyEvent& key) override {
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

  void on_button(const XButtonEvent& button, bool down) override {
    if (down)
      on_press(button);
    else
      on_release(button);
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

  Display* display_;
  CoreFont font_;
  const ChooserRequest& request_;
  ChooserModel model_;
  Layout layout_;
  State state_ = State::kRunning;
  int scroll_ = 0;
  const Box* pressed_ = nullptr;
  int last_click_index_ = -1;
  Time last_click_time_ = 0;
};

}  // namespace

bool run_file_chooser(const ChooserRequest& request, std::string* path) {
  std::shared_ptr<Connection> connection = thread_connection(true);
  if (!connection) return false;
  ChooserWindow window(*connection, request);
  window.run();
  return window.chosen(path);
}

}  // namespace kelplat::x11
