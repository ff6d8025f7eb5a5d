// Speed of text: drawing 80-character lines and measuring strings, through
// the library's functions and through the platform calls beneath them.
#include <benchmark/benchmark.h>

#include <string>

#include "graphics.h"
#include "platform.h"

namespace {

const std::string kLine =
    "The quick brown fox jumps over the lazy dog; 0123456789 THE QUICK BROWN FOX ..";

// A memory context on an 800 x 600 page, with its default font.
struct Page {
  Page() {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateBitmap(800, 600, 1, 32, nullptr);
    SelectObject(dc, bitmap);
  }
  ~Page() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HDC dc;
  HBITMAP bitmap;
};

void BM_TextOutLine(benchmark::State& state) {
  Page page;
  SetBkMode(page.dc, int(state.range(0)));
  int y = 0;
  for (auto _ : state) {
    TextOutA(page.dc, 4, y, kLine.data(), int(kLine.size()));
    y = (y + 16) % 580;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(state.range(0) == OPAQUE ? "opaque" : "transparent");
}
BENCHMARK(BM_TextOutLine)->Arg(OPAQUE)->Arg(TRANSPARENT);

void BM_TextExtent(benchmark::State& state) {
  Page page;
  SIZE size;
  for (auto _ : state) {
    GetTextExtentPoint32A(page.dc, "Hello, world", 12, &size);
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextExtent);

// The library's functions on a real (headless) window with its default font.
void open_window() {
  static bool opened = [] {
    initwindow(800, 600, "text bench");
    return true;
  }();
  benchmark::DoNotOptimize(opened);
}

void BM_Outtextxy(benchmark::State& state) {
  open_window();
  int y = 0;
  for (auto _ : state) {
    outtextxy(4, y, kLine.c_str());
    y = (y + 16) % 580;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Outtextxy);

void BM_Textwidth(benchmark::State& state) {
  open_window();
  for (auto _ : state) benchmark::DoNotOptimize(textwidth("Hello, world"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Textwidth);

}  // namespace
