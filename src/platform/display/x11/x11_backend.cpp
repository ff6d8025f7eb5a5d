// The X11 display back end: connects the window manager's back-end interface
// to the per-thread connections and windows of this directory.
#include "backend.h"

#include <cstdio>

#include "x11_connection.h"
#include "x11_message_box.h"
#include "x11_window.h"

namespace kelplat::display {
namespace {

using x11::X11Window;

class X11Backend : public Backend {
 public:
  explicit X11Backend(SIZE screen) : screen_(screen) {}

  const char* name() const override { return "x11"; }
  SIZE screen_size() override { return screen_; }

  std::unique_ptr<NativeWindow> create_window(const WindowSpec& spec) override {
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(true);
    if (!connection) return nullptr;
    return X11Window::create(std::move(connection), spec);
  }

  void show_window(NativeWindow& window, bool visible) override {
    static_cast<X11Window&>(window).show(visible);
  }

  void move_window(NativeWindow& window, const RECT& outer, int client_width,
                   int client_height) override {
    static_cast<X11Window&>(window).move(outer, client_width, client_height);
  }

  void present(NativeWindow& window, const RECT& rect, const PictureView& picture) override {
    static_cast<X11Window&>(window).present(rect, picture);
  }

  void system_command(NativeWindow& window, UINT command) override {
    static_cast<X11Window&>(window).system_command(command);
  }

  int message_box(HWND, const std::string& text, const std::string& caption, UINT type) override {
    int answer = x11::run_message_box(text, caption, type);
    if (answer != 0) return answer;
    // The display went away: say it on standard error, take the default.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return x11::message_box_buttons(type).front().answer;
  }

  int event_fd() override {
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(false);
    return connection ? ConnectionNumber(connection->display()) : -1;
  }

  void dispatch_pending() override {
    std::shared_ptr<x11::Connection> connection = x11::thread_connection(false);
    if (connection) connection->dispatch_pending();
  }

 private:
  const SIZE screen_;
};

}  // namespace

// Asks the server once for its screen; every window thread then opens a
// connection of its own.
std::unique_ptr<Backend> make_x11_backend() {
  x11::initialize_xlib();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  int screen = DefaultScreen(display);
  bool usable = x11::choose_visual(display, screen).visual != nullptr;
  SIZE size{DisplayWidth(display, screen), DisplayHeight(display, screen)};
  XCloseDisplay(display);
  if (!usable) return nullptr;
  return std::make_unique<X11Backend>(size);
}

}  // namespace kelplat::display
