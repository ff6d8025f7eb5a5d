// The X11 display back end: connects the window manager's back-end interface
// to the per-thread connections and windows of this directory.
#include "backend.h"

#include <cstdio>

#include "file_chooser_external.h"
#include "x11_connection.h"
#include "x11_file_chooser.h"
#include "x11_message_box.h"
#include "x11_print_dialog.h"
#include "x11_window.h"

namespace kelplat::display {
namespace {

using x11::DisplayUse;
using x11::X11Window;

// A window whose X side is given back inside a display use; once the
// process is exiting it is left to the process's end instead.
class GatedWindow : public NativeWindow {
 public:
  explicit GatedWindow(std::unique_ptr<X11Window> window) : window_(std::move(window)) {}
  ~GatedWindow() override {
    DisplayUse use;
    if (!use.active()) static_cast<void>(window_.release());
    window_.reset();
  }
  X11Window& x() { return *window_; }

 private:
  std::unique_ptr<X11Window> window_;
};

X11Window& x_of(NativeWindow& window) { return static_cast<GatedWindow&>(window).x(); }

class X11Backend : public Backend {
 public:
  explicit X11Backend(SIZE screen) : screen_(screen) {}

  const char* name() const override { return "x11"; }
  SIZE screen_size() override { return screen_; }

  std::unique_ptr<NativeWindow> create_window(const WindowSpec& spec) override {
    DisplayUse use;
    if (!use.active()) return nullptr;
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(true);
    if (!connection) return nullptr;
    std::unique_ptr<X11Window> window = X11Window::create(std::move(connection), spec);
    if (!window) return nullptr;
    return std::make_unique<GatedWindow>(std::move(window));
  }

  void show_window(NativeWindow& window, bool visible) override {
    DisplayUse use;
    if (use.active()) x_of(window).show(visible);
  }

  void move_window(NativeWindow& window, const RECT& outer, int client_width,
                   int client_height) override {
    DisplayUse use;
    if (use.active()) x_of(window).move(outer, client_width, client_height);
  }

  void present(NativeWindow& window, const RECT& rect, const PictureView& picture) override {
    DisplayUse use;
    if (use.active()) x_of(window).present(rect, picture);
  }

  void system_command(NativeWindow& window, UINT command) override {
    DisplayUse use;
    if (use.active()) x_of(window).system_command(command);
  }

  int message_box(HWND, const std::string& text, const std::string& caption, UINT type) override {
    int answer = 0;
    {
      DisplayUse use;
      if (use.active()) answer = x11::run_message_box(text, caption, type);
    }
    if (answer != 0) return answer;
    // The display went away: say it on standard error, take the default.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return x11::message_box_buttons(type).front().answer;
  }

  // The desktop's chooser tool when there is one, else our own chooser.
  bool choose_file(const comdlg::ChooserRequest& request, std::string* path) override {
    switch (comdlg::run_external_chooser(request, path)) {
      case comdlg::ExternalAnswer::kChosen:
        return true;
      case comdlg::ExternalAnswer::kCancelled:
        return false;
      case comdlg::ExternalAnswer::kNoTool:
        break;
    }
    DisplayUse use;
    return use.active() && x11::run_file_chooser(request, path);
  }

  int print_dialog(const std::vector<std::string>& printers, int initial) override {
    DisplayUse use;
    return use.active() ? x11::run_print_dialog(printers, initial) : -1;
  }

  int event_fd() override {
    DisplayUse use;
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(false);
    return connection && use.active() ? ConnectionNumber(connection->display()) : -1;
  }

  void dispatch_pending() override {
    DisplayUse use;
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(false);
    if (connection && use.active()) connection->dispatch_pending();
  }

 private:
  const SIZE screen_;
};

}  // namespace

// Asks the process's query connection for the screen; every window thread
// then opens a connection of its own.
std::unique_ptr<Backend> make_x11_backend() {
  std::shared_ptr<x11::Connection> connection = x11::query_connection();
  if (!connection) return nullptr;
  DisplayUse use;
  if (!use.active()) return nullptr;
  Display* display = connection->display();
  int screen = connection->screen();
  return std::make_unique<X11Backend>(SIZE{DisplayWidth(display, screen), DisplayHeight(display, screen)});
}

}  // namespace kelplat::display
