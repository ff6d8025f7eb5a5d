// Cost of the window manager calls on the drawing path. Every drawing call
// invalidates its figure's rectangle and the library finds its window record
// through the user data, so those two must stay cheap while the window's own
// thread keeps painting; a cross-thread send shows what a round trip costs.
#include <benchmark/benchmark.h>

#include <future>
#include <thread>

#include "platform.h"

namespace {

LRESULT CALLBACK bench_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == WM_USER) return LRESULT(wparam + 1);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// A shown 640 x 480 window served by a message loop on a thread of its own.
class WindowOnThread {
 public:
  WindowOnThread() {
    static ATOM registered = [] {
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = bench_procedure;
      wc.lpszClassName = "KelWindowManagerBench";
      return RegisterClassExA(&wc);
    }();
    benchmark::DoNotOptimize(registered);
    std::promise<HWND> made;
    std::future<HWND> result = made.get_future();
    thread_ = std::thread([made = std::move(made)]() mutable {
      HWND hwnd = CreateWindowExA(0, "KelWindowManagerBench", "bench", WS_CAPTION, 0, 0, 646, 509,
                                  nullptr, nullptr, nullptr, nullptr);
      ShowWindow(hwnd, SW_SHOWNORMAL);
      made.set_value(hwnd);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    });
    hwnd_ = result.get();
  }
  ~WindowOnThread() {
    PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
  std::thread thread_;
};

void BM_InvalidateRectWhilePainting(benchmark::State& state) {
  WindowOnThread window;
  int i = 0;
  for (auto _ : state) {
    RECT pixel{i % 640, (i / 640) % 480, i % 640 + 1, (i / 640) % 480 + 1};
    benchmark::DoNotOptimize(InvalidateRect(window.hwnd(), &pixel, FALSE));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InvalidateRectWhilePainting);

void BM_GetWindowLongUserData(benchmark::State& state) {
  WindowOnThread window;
  SetWindowLongA(window.hwnd(), GWL_USERDATA, LONG_PTR(&state));
  for (auto _ : state) benchmark::DoNotOptimize(GetWindowLongA(window.hwnd(), GWL_USERDATA));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetWindowLongUserData);

void BM_SendMessageToAnotherThread(benchmark::State& state) {
  WindowOnThread window;
  WPARAM n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageA(window.hwnd(), WM_USER, n++, 0));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendMessageToAnotherThread);

}  // namespace
