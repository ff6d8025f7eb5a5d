// Requests the X11 display makes of a window manager: with one that announces
// _NET_WM_MOVERESIZE, dragging the frame of a window without caption and the
// system menu's Move ask it to move the window, and Minimize asks it to
// iconify. The test plays that window manager itself.
#include <gtest/gtest.h>

#if __has_include(<X11/Xlib.h>)

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "x11_session.h"

namespace {

using x11_test::Child;
using x11_test::XSession;

// A minimal window manager: maps and configures windows as asked, and
// records the client messages sent to the root window.
class FakeWindowManager {
 public:
  struct Request {
    Window window;
    Atom type;
    long data[5];
  };

  explicit FakeWindowManager(const std::string& display_name) {
    display_ = XOpenDisplay(display_name.c_str());
    if (!display_) return;
    Window root = DefaultRootWindow(display_);
    XSelectInput(display_, root, SubstructureRedirectMask | SubstructureNotifyMask);
    Atom moveresize = XInternAtom(display_, "_NET_WM_MOVERESIZE", False);
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_SUPPORTED", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&moveresize), 1);
    XSync(display_, False);
    thread_ = std::thread([this] { run(); });
  }

  ~FakeWindowManager() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (display_) XCloseDisplay(display_);
  }

  bool ready() const { return display_ != nullptr; }

  // The first recorded request of that type, waiting for it.
  bool wait_for(const char* type_name, Request* out) {
    Atom type = XInternAtom(display_, type_name, False);
    auto start = x11_test::Clock::now();
    while (x11_test::elapsed_ms(start) < XSession::kTimeoutMs) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Request& r : requests_)
          if (r.type == type) {
            *out = r;
            return true;
          }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

 private:
  void run() {
    int fd = ConnectionNumber(display_);
    while (!stop_) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
      }
      pollfd p{fd, POLLIN, 0};
      poll(&p, 1, 20);
    }
  }

  void handle(const XEvent& event) {
    switch (event.type) {
      case MapRequest:
        XMapWindow(display_, event.xmaprequest.window);
        break;
      case ConfigureRequest: {
        const XConfigureRequestEvent& r = event.xconfigurerequest;
        XWindowChanges changes{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
        XConfigureWindow(display_, r.window, unsigned(r.value_mask), &changes);
        break;
      }
      case ClientMessage: {
        Request request{event.xclient.window, event.xclient.message_type, {}};
        for (int i = 0; i < 5; ++i) request.data[i] = event.xclient.data.l[i];
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        break;
      }
      default:
        break;
    }
    XFlush(display_);
  }

  Display* display_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Request> requests_;
};

// Directions of _NET_WM_MOVERESIZE.
constexpr long kMoveWithPointer = 8;
constexpr long kMoveWithKeyboard = 10;

Window start_probe(XSession& session, const char* mode, std::unique_ptr<Child>* probe) {
  *probe = session.run("prog_x11_probe", {mode});
  if (!*probe || !(*probe)->read_until("ready", nullptr, XSession::kTimeoutMs)) return 0;
  std::vector<Window> windows = session.windows_of((*probe)->pid(), 1);
  return windows.size() == 1 ? windows[0] : 0;
}

TEST(X11WindowManagerHints, FrameDragIsHandedToTheWindowManager) {
  X11_SESSION_OR_SKIP(session);
  FakeWindowManager manager(session.name());
  ASSERT_TRUE(manager.ready());
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, "frameless", &probe);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(session.pointer_to(301, 201));  // the frame's top-left corner
  ASSERT_TRUE(session.xdotool({"mousedown", "1"}));
  FakeWindowManager::Request request{};
  ASSERT_TRUE(manager.wait_for("_NET_WM_MOVERESIZE", &request));
  ASSERT_TRUE(session.xdotool({"mouseup", "1"}));
  EXPECT_EQ(request.window, window);
  EXPECT_EQ(request.data[0], 301);
  EXPECT_EQ(request.data[1], 201);
  EXPECT_EQ(request.data[2], kMoveWithPointer);
  EXPECT_EQ(request.data[3], 1);  // the left button
}

TEST(X11WindowManagerHints, SystemMenuMoveAndMinimizeAskTheWindowManager) {
  X11_SESSION_OR_SKIP(session);
  FakeWindowManager manager(session.name());
  ASSERT_TRUE(manager.ready());
  std::unique_ptr<Child> probe;
  Window window = start_probe(session, "keys", &probe);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(session.keys(window, {"alt+space", "Return"}));  // Move
  FakeWindowManager::Request move{};
  ASSERT_TRUE(manager.wait_for("_NET_WM_MOVERESIZE", &move));
  EXPECT_EQ(move.window, window);
  EXPECT_EQ(move.data[2], kMoveWithKeyboard);

  ASSERT_TRUE(session.keys(window, {"alt+space", "Down", "Return"}));  // Minimize
  FakeWindowManager::Request minimize{};
  ASSERT_TRUE(manager.wait_for("WM_CHANGE_STATE", &minimize));
  EXPECT_EQ(minimize.window, window);
  EXPECT_EQ(minimize.data[0], IconicState);
}

}  // namespace

#else

TEST(X11WindowManagerHints, NeedsX11Headers) { GTEST_SKIP() << "built without X11 headers"; }

#endif
