// Speed of the X11 display, on the server named by DISPLAY (for example a
// virtual one: Xvfb :9 -screen 0 1280x1024x24 & DISPLAY=:9 x11_bench):
// frames per second of an 800 x 600 double-buffered animation, and the time
// from a key press injected at the server to getch returning it. Without a
// display both report that they were skipped.
#include <benchmark/benchmark.h>

#if __has_include(<X11/Xlib.h>)

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <graphics.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform_testing.h"

namespace {

// Why the display cannot be measured, or "" when it can.
std::string unavailable() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return "DISPLAY is not set";
  static int probe = initwindow(64, 48, "kel bench probe", 0, 0, false, false);
  (void)probe;
  if (kelplat::testing::backend_name() != "x11") return "the X11 display is not in use";
  return "";
}

void BM_Animation800x600(benchmark::State& state) {
  std::string why = unavailable();
  if (!why.empty()) {
    state.SkipWithError(why.c_str());
    return;
  }
  static int window = initwindow(800, 600, "kel animation", 0, 0, true, false);
  setcurrentwindow(window);
  int frame = 0;
  for (auto _ : state) {
    cleardevice();
    // 200 primitives a frame: lines, rectangles, filled bars and circles.
    for (int i = 0; i < 200; ++i) {
      int x = (i * 37 + frame * 5) % 760, y = (i * 53 + frame * 3) % 560;
      setcolor(1 + i % 15);
      switch (i % 4) {
        case 0:
          line(x, y, 799 - x, 599 - y);
          break;
        case 1:
          rectangle(x, y, x + 40, y + 30);
          break;
        case 2:
          setfillstyle(SOLID_FILL, 1 + (i + frame) % 15);
          bar(x, y, x + 30, y + 20);
          break;
        default:
          circle(x + 20, y + 20, 18);
          break;
      }
    }
    swapbuffers();
    ++frame;
  }
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Animation800x600)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

using FakeKeyEvent = int (*)(Display*, unsigned, int, unsigned long);

// The top-level window of this process with that name.
Window find_own_window(Display* display, const char* name) {
  Window root = DefaultRootWindow(display), parent, *children = nullptr, found = 0;
  unsigned count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* window_name = nullptr;
    if (XFetchName(display, children[i], &window_name) && window_name &&
        std::string(window_name) == name)
      found = children[i];
    if (window_name) XFree(window_name);
  }
  if (children) XFree(children);
  return found;
}

// Gives the window the keyboard focus once it is on the screen.
bool focus(Display* display, Window window) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    Window focused;
    int revert;
    XGetInputFocus(display, &focused, &revert);
    if (focused == window) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void BM_KeyPressToGetch(benchmark::State& state) {
  std::string why = unavailable();
  void* xtest = why.empty() ? dlopen("libXtst.so.6", RTLD_NOW) : nullptr;
  auto fake_key =
      xtest ? reinterpret_cast<FakeKeyEvent>(dlsym(xtest, "XTestFakeKeyEvent")) : nullptr;
  if (why.empty() && !fake_key) why = "the XTest library is missing";
  if (!why.empty()) {
    state.SkipWithError(why.c_str());
    return;
  }
  static int window = initwindow(200, 100, "kel latency", 850, 0, false, false);
  setcurrentwindow(window);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  Display* display = XOpenDisplay(nullptr);
  Window target = display ? find_own_window(display, "kel latency") : 0;
  if (!target || !focus(display, target)) {
    state.SkipWithError("the window cannot take the keyboard focus");
    if (display) XCloseDisplay(display);
    return;
  }
  unsigned code = XKeysymToKeycode(display, XK_a);
  while (kbhit()) getch();
  std::vector<double> samples;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    fake_key(display, code, True, 0);
    fake_key(display, code, False, 0);
    XFlush(display);
    int c = getch();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    samples.push_back(took.count() * 1000.0);
    if (c != 'a') {
      state.SkipWithError("getch returned another key");
      break;
    }
  }
  XCloseDisplay(display);
  if (samples.empty()) return;
  std::sort(samples.begin(), samples.end());
  state.counters["median_ms"] = samples[samples.size() / 2];
  state.counters["p99_ms"] = samples[samples.size() * 99 / 100];
}
BENCHMARK(BM_KeyPressToGetch)->UseManualTime()->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace

#else

static void BM_X11Display(benchmark::State& state) {
  for (auto _ : state) {
  }
  state.SkipWithError("built without X11 headers");
}
BENCHMARK(BM_X11Display);

#endif
