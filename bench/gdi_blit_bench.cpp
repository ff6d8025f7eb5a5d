// Speed of the GDI core's hot paths: a 64 x 64 sprite blitted onto a page
// with the raster operations that putimage uses, a page-sized copy such as
// a paint does, a shrinking StretchBlt, and single pixels.
#include <benchmark/benchmark.h>

#include "platform.h"

namespace {

// A memory context holding a 32-bit bitmap of the given size.
struct Surface {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  Surface(int width, int height)
      : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height, 1, 32, nullptr)),
        old(SelectObject(dc, bitmap)) {}
  ~Surface() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

void BM_BitBltSprite(benchmark::State& state) {
  Surface page(1024, 768), sprite(64, 64);
  DWORD rop = DWORD(state.range(0));
  int x = 0;
  for (auto _ : state) {
    BitBlt(page.dc, x, 100, 64, 64, sprite.dc, 0, 0, rop);
    x = (x + 67) & 511;
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 64 * 64 * 4);
}
BENCHMARK(BM_BitBltSprite)
    ->Arg(SRCCOPY)
    ->Arg(SRCINVERT)
    ->Arg(SRCPAINT)
    ->Arg(SRCAND)
    ->Arg(NOTSRCCOPY);

void BM_BitBltWholePage(benchmark::State& state) {
  Surface page(1024, 768), shown(1024, 768);
  for (auto _ : state) BitBlt(shown.dc, 0, 0, 1024, 768, page.dc, 0, 0, SRCCOPY);
  state.SetBytesProcessed(int64_t(state.iterations()) * 1024 * 768 * 4);
}
BENCHMARK(BM_BitBltWholePage);

void BM_StretchBltHalve(benchmark::State& state) {
  Surface source(512, 512), dest(256, 256);
  SetStretchBltMode(dest.dc, HALFTONE);
  for (auto _ : state) StretchBlt(dest.dc, 0, 0, 256, 256, source.dc, 0, 0, 512, 512, SRCCOPY);
  state.SetItemsProcessed(int64_t(state.iterations()) * 256 * 256);
}
BENCHMARK(BM_StretchBltHalve);

void BM_SetPixelV(benchmark::State& state) {
  Surface page(1024, 768);
  int i = 0;
  for (auto _ : state) {
    SetPixelV(page.dc, i & 1023, (i >> 10) % 768, RGB(i, 0, 0));
    i++;
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_SetPixelV);

void BM_GetPixel(benchmark::State& state) {
  Surface page(1024, 768);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetPixel(page.dc, i & 1023, (i >> 10) % 768));
    i++;
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_GetPixel);

}  // namespace
