// Speed of the rasterizer on a 1024 x 768 page: rectangle fills against a
// memset of the same bytes, random one-pixel lines, large filled ellipses
// and polygons, and flood fill. Counters report pixels per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform.h"
#include "platform/gdi/gdi_objects.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

class Page {
 public:
  Page() {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    SelectObject(dc_, bitmap_);
  }
  ~Page() {
    DeleteObject(SelectObject(dc_, GetStockObject(WHITE_PEN)));
    DeleteObject(SelectObject(dc_, GetStockObject(WHITE_BRUSH)));
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  void pen(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    const DWORD solid[] = {16, 0};
    DWORD style = PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
    DeleteObject(SelectObject(dc_, ExtCreatePen(style, 1, &lb, 2, solid)));
  }
  void brush(HBRUSH b) { DeleteObject(SelectObject(dc_, b)); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
};

void pixels_per_second(benchmark::State& state, double pixels_per_iteration) {
  state.counters["pixels/s"] = benchmark::Counter(pixels_per_iteration * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void BM_MemsetPage(benchmark::State& state) {
  std::vector<uint32_t> page(size_t(kWidth) * kHeight);
  int value = 0;
  for (auto _ : state) {
    std::memset(page.data(), value++ & 0xFF, page.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(page.data());
    benchmark::ClobberMemory();
  }
  pixels_per_second(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_MemsetPage);

void fill_page(benchmark::State& state, HBRUSH brush) {
  Page page;
  RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    FillRect(page.dc(), &all, brush);
    benchmark::ClobberMemory();
  }
  DeleteObject(brush);
  pixels_per_second(state, double(kWidth) * kHeight);
}

void BM_FillRectSolid(benchmark::State& state) { fill_page(state, CreateSolidBrush(RGB(1, 2, 3))); }
BENCHMARK(BM_FillRectSolid);

void BM_FillRectHatch(benchmark::State& state) {
  fill_page(state, CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0)));
}
BENCHMARK(BM_FillRectHatch);

void BM_FillRectPattern(benchmark::State& state) {
  const uint16_t rows[8] = {0x1F, 0x3E, 0x7C, 0xF8, 0xF1, 0xE3, 0xC7, 0x8F};
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(bits);
  DeleteObject(bits);
  fill_page(state, brush);
}
BENCHMARK(BM_FillRectPattern);

void BM_RandomLines(benchmark::State& state) {
  Page page;
  page.pen(RGB(255, 255, 255));
  std::mt19937 random(1);
  std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1);
  std::vector<POINT> ends(4096);
  double pixels = 0;
  for (size_t i = 0; i < ends.size(); i++) ends[i] = POINT{x(random), y(random)};
  for (size_t i = 0; i + 1 < ends.size(); i++) {
    pixels += std::max(std::abs(ends[i + 1].x - ends[i].x), std::abs(ends[i + 1].y - ends[i].y));
  }
  for (auto _ : state) {
    MoveToEx(page.dc(), ends[0].x, ends[0].y, nullptr);
    for (size_t i = 1; i < ends.size(); i++) LineTo(page.dc(), ends[i].x, ends[i].y);
  }
  pixels_per_second(state, pixels);
}
BENCHMARK(BM_RandomLines);

// Pixels a figure changes when drawn once on a cleared page.
double pixels_of(Page& page, void (*draw)(HDC)) {
  RECT all{0, 0, kWidth, kHeight};
  FillRect(page.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  draw(page.dc());
  double count = 0;
  for (int y = 0; y < kHeight; y++) {
    for (int x = 0; x < kWidth; x++) count += GetPixel(page.dc(), x, y) != 0;
  }
  return count;
}

void figure(benchmark::State& state, void (*draw)(HDC)) {
  Page page;
  page.pen(RGB(255, 255, 255));
  page.brush(CreateSolidBrush(RGB(0, 0, 255)));
  double pixels = pixels_of(page, draw);
  for (auto _ : state) {
    draw(page.dc());
    benchmark::ClobberMemory();
  }
  pixels_per_second(state, pixels);
}

void BM_FilledEllipse(benchmark::State& state) {
  figure(state, [](HDC dc) { Ellipse(dc, 12, 4, 1010, 763); });
}
BENCHMARK(BM_FilledEllipse);

void BM_FilledPolygon(benchmark::State& state) {
  figure(state, [](HDC dc) {
    const POINT star[] = {{512, 0},   {640, 300}, {1023, 300}, {700, 480}, {900, 767},
                          {512, 600}, {124, 767}, {324, 480},  {0, 300},   {384, 300}};
    Polygon(dc, star, 10);
  });
}
BENCHMARK(BM_FilledPolygon);

void BM_FloodFillPage(benchmark::State& state) {
  Page page;
  HBRUSH brushes[2] = {CreateSolidBrush(RGB(0, 0, 255)), CreateSolidBrush(RGB(0, 255, 0))};
  int turn = 0;
  for (auto _ : state) {
    SelectObject(page.dc(), brushes[turn]);
    turn ^= 1;
    ExtFloodFill(page.dc(), 500, 400, GetPixel(page.dc(), 500, 400), FLOODFILLSURFACE);
  }
  SelectObject(page.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(brushes[0]);
  DeleteObject(brushes[1]);
  pixels_per_second(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_FloodFillPage);

}  // namespace
