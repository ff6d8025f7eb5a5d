// Helpers for the window manager tests: a window procedure that records
// every message it gets, and windows running on threads of their own with a
// message loop, as the library runs its windows.
#ifndef KEL_TESTS_WINDOW_MANAGER_TEST_SUPPORT_H
#define KEL_TESTS_WINDOW_MANAGER_TEST_SUPPORT_H

#include <algorithm>
#include <functional>
#include <future>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform.h"
#include "platform_testing.h"

namespace wm_test {

constexpr DWORD kCaptioned = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kCaptionless = WS_POPUP | WS_DLGFRAME;

// One message as the procedure saw it.
struct Seen {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  DWORD thread;
  RECT paint;  // WM_PAINT: the rectangle BeginPaint gave
};

// What a window does and what it has seen. Reached from the procedure
// through the window's user data.
struct Behaviour {
  // Answers a message first; no value: default handling.
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handle;
  // Draws during WM_PAINT, between BeginPaint and EndPaint.
  std::function<void(HDC, const RECT&)> paint;

  std::vector<Seen> seen() {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
  }
  // The messages seen, in order; only those of `kinds` when it is not empty.
  std::vector<UINT> messages(std::initializer_list<UINT> kinds = {}) {
    std::vector<UINT> out;
    for (const Seen& s : seen())
      if (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), s.message) != kinds.end())
        out.push_back(s.message);
    return out;
  }
  int count(UINT message) {
    int n = 0;
    for (const Seen& s : seen()) n += s.message == message;
    return n;
  }
  void record(const Seen& s) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(s);
  }

  std::mutex mutex;
  std::vector<Seen> log;
};

// Behaviour of the window being created on this thread, for the messages
// that come before its user data is set.
inline thread_local Behaviour* t_creating = nullptr;

inline Behaviour* behaviour_of(HWND hwnd) {
  auto* b = reinterpret_cast<Behaviour*>(GetWindowLongA(hwnd, GWL_USERDATA));
  return b ? b : t_creating;
}

inline LRESULT CALLBACK recording_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Behaviour* b = behaviour_of(hwnd);
  if (!b) return DefWindowProcA(hwnd, message, wparam, lparam);
  Seen s{message, wparam, lparam, GetCurrentThreadId(), RECT{0, 0, 0, 0}};
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    s.paint = ps.rcPaint;
    if (hdc && b->paint) b->paint(hdc, ps.rcPaint);
    EndPaint(hwnd, &ps);
    b->record(s);
    return 0;
  }
  b->record(s);
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (b->handle) {
    if (std::optional<LRESULT> answer = b->handle(hwnd, message, wparam, lparam)) return *answer;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

inline const char* test_class() {
  static const char* name = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = recording_procedure;
    wc.lpszClassName = "KelWindowManagerTest";
    RegisterClassExA(&wc);
    return "KelWindowManagerTest";
  }();
  return name;
}

struct Options {
  DWORD style = kCaptioned;
  const char* title = "test window";
  RECT outer{10, 20, 10 + 206, 20 + 229};  // a 200 x 200 client area when captioned
  bool show = true;
};

// Makes a window of the test class on the calling thread, with `b` in its
// user data.
inline HWND make_window(Behaviour& b, const Options& o = Options()) {
  t_creating = &b;
  HWND hwnd = CreateWindowExA(0, test_class(), o.title, o.style, o.outer.left, o.outer.top,
                              o.outer.right - o.outer.left, o.outer.bottom - o.outer.top, nullptr,
                              nullptr, nullptr, nullptr);
  t_creating = nullptr;
  if (hwnd) SetWindowLongA(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&b));
  return hwnd;
}

// A window on a thread of its own: made, shown and updated there, then
// served by a GetMessageA / TranslateMessage / DispatchMessageA loop until
// the window is destroyed. Set `behaviour` up through the constructor's
// callback, before the thread starts.
class WindowThread {
 public:
  explicit WindowThread(const Options& options = Options(),
                        const std::function<void(Behaviour&)>& setup = nullptr) {
    if (setup) setup(behaviour_);
    std::promise<HWND> made;
    std::future<HWND> result = made.get_future();
    thread_ =
        std::thread([this, options, made = std::move(made)]() mutable { run(options, made); });
    hwnd_ = result.get();
  }
  ~WindowThread() {
    if (!thread_.joinable()) return;
    if (IsWindow(hwnd_)) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  HWND hwnd() const { return hwnd_; }
  Behaviour& behaviour() { return behaviour_; }
  // Waits until the message loop has ended (the window was destroyed).
  void join() { thread_.join(); }
  // Waits until everything sent so far is handled and any due paint is done.
  bool settle() {
    return kelplat::testing::wait_idle(hwnd_) && kelplat::testing::flush_paint(hwnd_);
  }

 private:
  void run(const Options& options, std::promise<HWND>& made) {
    HWND hwnd = make_window(behaviour_, options);
    if (hwnd && options.show) {
      ShowWindow(hwnd, SW_SHOWNORMAL);
      UpdateWindow(hwnd);
    }
    made.set_value(hwnd);
    if (!hwnd) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  Behaviour behaviour_;
  HWND hwnd_ = nullptr;
  std::thread thread_;
};

}  // namespace wm_test

#endif  // KEL_TESTS_WINDOW_MANAGER_TEST_SUPPORT_H
