// Speed of the library's hot paths: putpixel on a shown page with automatic
// refresh on, and opening plus closing a window.
#include <benchmark/benchmark.h>
#include <graphics.h>

namespace {

void BM_PutPixelShownWithRefresh(benchmark::State& state) {
  initwindow(640, 480, "bench", 0, 0, false, false);
  int i = 0;
  for (auto _ : state) {
    putpixel(i & 511, (i >> 9) & 255, i & 15);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  closegraph(CURRENT_WINDOW);
}
BENCHMARK(BM_PutPixelShownWithRefresh);

void BM_PutPixelHiddenPage(benchmark::State& state) {
  initwindow(640, 480, "bench", 0, 0, true, false);
  int i = 0;
  for (auto _ : state) {
    putpixel(i & 511, (i >> 9) & 255, i & 15);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  closegraph(CURRENT_WINDOW);
}
BENCHMARK(BM_PutPixelHiddenPage);

void BM_LineShownWithRefresh(benchmark::State& state) {
  initwindow(640, 480, "bench", 0, 0, false, false);
  int i = 0;
  for (auto _ : state) {
    line(i % 640, 0, 639 - i % 640, 479);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
  closegraph(CURRENT_WINDOW);
}
BENCHMARK(BM_LineShownWithRefresh);

// A window closed with closeflag false stays on screen with its thread, so
// the number of rounds is kept small.
void BM_InitwindowAndClosegraph(benchmark::State& state) {
  for (auto _ : state) {
    int window = initwindow(320, 240, "bench", 0, 0, false, false);
    closegraph(window);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InitwindowAndClosegraph)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace
