// End-to-end tests of the X11 display: a virtual X server (Xvfb) of the
// test's own, child programs that open windows on it, real input from
// xdotool, and a connection of the test's own to look at the windows.
#ifndef KEL_TESTS_X11_SESSION_H
#define KEL_TESTS_X11_SESSION_H

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace x11_test {

using Clock = std::chrono::steady_clock;

inline int elapsed_ms(Clock::time_point since) {
  return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// Where an executable is on PATH, or "" when it is not.
inline std::string find_program(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

// The environment of this process with DISPLAY replaced.
inline std::vector<std::string> environment_with_display(const std::string& display) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
  env.push_back("DISPLAY=" + display);
  return env;
}

// A child process, its standard output read line by line.
class Child {
 public:
  // Null when the program cannot be started.
  static std::unique_ptr<Child> start(const std::vector<std::string>& argv,
                                      const std::vector<std::string>& env, bool capture) {
    int pipe_fds[2] = {-1, -1};
    if (capture && pipe2(pipe_fds, O_CLOEXEC) != 0) return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture) {
      posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (capture) close(pipe_fds[1]);
    if (rc != 0) {
      if (capture) close(pipe_fds[0]);
      return nullptr;
    }
    return std::unique_ptr<Child>(new Child(pid, capture ? pipe_fds[0] : -1));
  }

  ~Child() {
    if (!exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_fd_ >= 0) close(out_fd_);
  }

  pid_t pid() const { return pid_; }

  // The next line of output; false at the end of output or on time-out.
  bool read_line(std::string* line, int timeout_ms) {
    auto start = Clock::now();
    for (;;) {
      size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        *line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return true;
      }
      int left = timeout_ms - elapsed_ms(start);
      if (out_fd_ < 0 || left <= 0) return false;
      pollfd p{out_fd_, POLLIN, 0};
      if (poll(&p, 1, left) <= 0) return false;
      char chunk[4096];
      ssize_t n = read(out_fd_, chunk, sizeof chunk);
      if (n <= 0) return false;
      buffer_.append(chunk, size_t(n));
    }
  }

  // Lines up to and including the first that starts with `prefix`.
  bool read_until(const std::string& prefix, std::vector<std::string>* lines, int timeout_ms) {
    auto start = Clock::now();
    std::string line;
    while (read_line(&line, std::max(1, timeout_ms - elapsed_ms(start)))) {
      if (lines) lines->push_back(line);
      if (line.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
  }

  // The exit status (or 128 + signal), or -1 while it runs after the wait.
  int wait_exit(int timeout_ms) {
    auto start = Clock::now();
    while (!exited_) {
      int status = 0;
      pid_t r = waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (elapsed_ms(start) >= timeout_ms) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
  }

 private:
  Child(pid_t pid, int out_fd) : pid_(pid), out_fd_(out_fd) {}

  pid_t pid_;
  int out_fd_;
  std::string buffer_;
  bool exited_ = false;
  int status_ = -1;
};

// Geometry of a window on the screen.
struct Placement {
  int x = 0, y = 0;  // top-left corner, root coordinates
  int width = 0, height = 0;
};

// A virtual X server for one test, and a connection to it.
class XSession {
 public:
  static constexpr int kTimeoutMs = 15000;
  static constexpr int kScreenWidth = 1280;
  static constexpr int kScreenHeight = 1024;

  XSession() {
    // Windows of the child programs come and go; a request about one that
    // has just gone must not end the test.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::string xvfb = find_program("Xvfb");
    xdotool_ = find_program("xdotool");
    if (xvfb.empty() || xdotool_.empty()) {
      skip_reason_ = xvfb.empty() ? "Xvfb is not installed" : "xdotool is not installed";
      return;
    }
    start_server(xvfb);
  }

  ~XSession() {
    if (display_) XCloseDisplay(display_);
    server_.reset();
  }

  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  const std::string& skip_reason() const { return skip_reason_; }
  bool ready() const { return display_ != nullptr; }
  const std::string& name() const { return name_; }
  Display* display() const { return display_; }
  Window root() const { return DefaultRootWindow(display_); }

  // Runs a test program of the build with DISPLAY set to this server.
  std::unique_ptr<Child> run(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{std::string(KEL_TEST_PROGRAMS_DIR) + "/" + program};
    argv.insert(argv.end(), args.begin(), args.end());
    return Child::start(argv, environment_with_display(name_), true);
  }

  // Runs xdotool with these arguments; true when it succeeded.
  bool xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{xdotool_};
    argv.insert(argv.end(), args.begin(), args.end());
    auto child = Child::start(argv, environment_with_display(name_), false);
    return child && child->wait_exit(kTimeoutMs) == 0;
  }

  // Top-level windows (children of the root) that are mapped and whose
  // _NET_WM_PID is `pid`, waiting until there are `count` of them.
  std::vector<Window> windows_of(pid_t pid, size_t count, int timeout_ms = kTimeoutMs) {
    auto start = Clock::now();
    for (;;) {
      std::vector<Window> found;
      for (Window w : top_level_windows())
        if (mapped(w) && long_property(w, "_NET_WM_PID") == long(pid)) found.push_back(w);
      if (found.size() >= count || elapsed_ms(start) > timeout_ms) return found;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // A mapped top-level window with this name (WM_NAME), or 0.
  Window window_named(const std::string& name, int timeout_ms = kTimeoutMs) {
    auto start = Clock::now();
    for (;;) {
      for (Window w : top_level_windows())
        if (mapped(w) && text_property(w) == name) return w;
      if (elapsed_ms(start) > timeout_ms) return 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // Mapped override-redirect windows (popups) on the screen.
  std::vector<Window> popups() {
    std::vector<Window> found;
    for (Window w : top_level_windows()) {
      XWindowAttributes a;
      if (XGetWindowAttributes(display_, w, &a) && a.map_state == IsViewable && a.override_redirect)
        found.push_back(w);
    }
    return found;
  }

  // Waits until `count` popups are on the screen.
  bool wait_for_popups(size_t count, int timeout_ms = kTimeoutMs) {
    auto start = Clock::now();
    while (popups().size() != count) {
      if (elapsed_ms(start) > timeout_ms) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  bool mapped(Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(display_, w, &a) && a.map_state == IsViewable;
  }

  Placement placement(Window w) {
    Placement p;
    XWindowAttributes a;
    Window child;
    if (!XGetWindowAttributes(display_, w, &a)) return p;
    XTranslateCoordinates(display_, w, root(), 0, 0, &p.x, &p.y, &child);
    p.width = a.width;
    p.height = a.height;
    return p;
  }

  // Waits until the window's top-left corner is at (x, y).
  bool wait_for_origin(Window w, int x, int y, int timeout_ms = kTimeoutMs) {
    auto start = Clock::now();
    for (;;) {
      Placement p = placement(w);
      if (p.x == x && p.y == y) return true;
      if (elapsed_ms(start) > timeout_ms) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // WM_NAME as text.
  std::string text_property(Window w) {
    char* name = nullptr;
    std::string out;
    if (XFetchName(display_, w, &name) && name) out = name;
    if (name) XFree(name);
    return out;
  }

  // An 8-bit property as bytes (for _NET_WM_NAME).
  std::string byte_property(Window w, const char* property) {
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(display_, w, XInternAtom(display_, property, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &left, &data) == Success &&
        data && format == 8)
      out.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return out;
  }

  // A 32-bit property as numbers.
  std::vector<long> long_properties(Window w, const char* property) {
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(display_, w, XInternAtom(display_, property, False), 0, 64, False,
                           AnyPropertyType, &type, &format, &count, &left, &data) == Success &&
        data && format == 32)
      out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (data) XFree(data);
    return out;
  }
  long long_property(Window w, const char* property) {
    std::vector<long> values = long_properties(w, property);
    return values.empty() ? -1 : values[0];
  }

  // Asks the window to close, as a window manager's close button does.
  void send_delete_window(Window w) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, w, False, NoEventMask, &event);
    XSync(display_, False);
  }

  // The window's pixels as 0x00RRGGBB, row by row.
  std::vector<uint32_t> capture(Window w, int x, int y, int width, int height) {
    std::vector<uint32_t> pixels;
    XImage* image =
        XGetImage(display_, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col)
        pixels.push_back(uint32_t(XGetPixel(image, col, row)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
  }

  // Focuses a window and types keys into it (xdotool key names).
  bool keys(Window w, const std::vector<std::string>& names) {
    if (!xdotool({"windowfocus", "--sync", std::to_string(w)})) return false;
    std::vector<std::string> args{"key", "--delay", "30"};
    args.insert(args.end(), names.begin(), names.end());
    return xdotool(args);
  }

  bool type_text(Window w, const std::string& text) {
    return xdotool({"windowfocus", "--sync", std::to_string(w)}) &&
           xdotool({"type", "--delay", "30", text});
  }

  // Moves the pointer to a root position. (xdotool's --sync would wait
  // forever for a move to where the pointer already is.)
  bool pointer_to(int x, int y) {
    Window root_return, child;
    int px, py, wx, wy;
    unsigned mask;
    if (XQueryPointer(display_, root(), &root_return, &child, &px, &py, &wx, &wy, &mask) &&
        px == x && py == y)
      return true;
    return xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
  }

 private:
  void start_server(const std::string& xvfb) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      skip_reason_ = "no pipe";
      return;
    }
    // Xvfb picks a free display number and writes it to the descriptor.
    std::vector<std::string> argv{xvfb,           "-displayfd", "3",   "-screen", "0",
                                  "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      skip_reason_ = "Xvfb cannot be started";
      return;
    }
    server_.reset(new ServerGuard{pid});
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    auto start = Clock::now();
    while (number.find('\n') == std::string::npos && elapsed_ms(start) < kTimeoutMs &&
           poll(&p, 1, kTimeoutMs) > 0) {
      char chunk[32];
      ssize_t n = read(fds[0], chunk, sizeof chunk);
      if (n <= 0) break;
      number.append(chunk, size_t(n));
    }
    close(fds[0]);
    if (number.empty()) {
      skip_reason_ = "Xvfb did not start";
      return;
    }
    name_ = ":" + number.substr(0, number.find('\n'));
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) skip_reason_ = "cannot connect to Xvfb";
  }

  std::vector<Window> top_level_windows() {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, root(), &root_return, &parent, &children, &count) && children)
      out.assign(children, children + count);
    if (children) XFree(children);
    return out;
  }

  struct ServerGuard {
    pid_t pid;
    ~ServerGuard() {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  };

  std::string xdotool_;
  std::string skip_reason_;
  std::string name_;
  std::unique_ptr<ServerGuard> server_;
  Display* display_ = nullptr;
};

// Declares `session` and skips the test when no virtual server can run.
#define X11_SESSION_OR_SKIP(session) \
  x11_test::XSession session;        \
  if (!session.ready()) GTEST_SKIP() << session.skip_reason();

}  // namespace x11_test

#endif  // KEL_TESTS_X11_SESSION_H
