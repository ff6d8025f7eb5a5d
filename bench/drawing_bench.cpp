// Speed of the drawing primitives through the public functions, on a shown
// 1024 x 768 window with automatic refresh on, as a program draws: bars
// with solid, pattern and hatch brushes beside a memset of the same bytes,
// random one-pixel lines, large filled ellipses and polygons, a flood fill
// of the whole page, putpixel calls, and polygons of a million points.
// Counters report pixels (or points) per second.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "kel/kel_internal.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr double kPagePixels = double(kWidth) * kHeight;

// One window for every benchmark, reset to the defaults and cleared before
// each, so that the window threads of earlier runs do not pile up.
void fresh_window() {
  static const int window = initwindow(kWidth, kHeight, "drawing bench", 0, 0, false, false);
  setcurrentwindow(window);
  graphdefaults();
  setrefreshingkel(true);
  cleardevice();
}

void rate(benchmark::State& state, const char* name, double per_iteration) {
  state.counters[name] =
      benchmark::Counter(per_iteration * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Pixels of the active page that are not black.
double drawn_pixels() {
  WindowData* wd = KEL__GetWindowDataPtr();
  HBITMAP bitmap =
      static_cast<HBITMAP>(GetCurrentObject(wd->hDC[wd->active_page.load()], OBJ_BITMAP));
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  GetBitmapBits(bitmap, LONG(pixels.size() * sizeof(uint32_t)), pixels.data());
  double count = 0;
  for (uint32_t p : pixels) count += p != 0;
  return count;
}

// ------------------------------------------------------------------- bars
void BM_MemsetOfAPage(benchmark::State& state) {
  std::vector<uint32_t> page(size_t(kWidth) * kHeight);
  int value = 0;
  for (auto _ : state) {
    std::memset(page.data(), value++ & 0xFF, page.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(page.data());
    benchmark::ClobberMemory();
  }
  rate(state, "pixels/s", kPagePixels);
}
BENCHMARK(BM_MemsetOfAPage);

void bar_over_the_page(benchmark::State& state, int style) {
  fresh_window();
  int colour = 1;
  for (auto _ : state) {
    setfillstyle(style, colour);
    colour = colour % 15 + 1;
    bar(0, 0, kWidth, kHeight);
  }
  rate(state, "pixels/s", kPagePixels);
}

void BM_BarSolid(benchmark::State& state) { bar_over_the_page(state, SOLID_FILL); }
BENCHMARK(BM_BarSolid);

void BM_BarPattern(benchmark::State& state) { bar_over_the_page(state, INTERLEAVE_FILL); }
BENCHMARK(BM_BarPattern);

void BM_BarHatch(benchmark::State& state) { bar_over_the_page(state, HATCH_FILL); }
BENCHMARK(BM_BarHatch);

// ------------------------------------------------------------------ lines
void BM_RandomLines(benchmark::State& state) {
  fresh_window();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1);
  std::vector<int> ends(4 * 1024);
  for (int& v : ends) v = (&v - ends.data()) % 2 ? y(random) : x(random);
  double pixels = 0;
  for (size_t i = 0; i < ends.size(); i += 4)
    pixels += std::max(std::abs(ends[i + 2] - ends[i]), std::abs(ends[i + 3] - ends[i + 1]));
  for (auto _ : state) {
    for (size_t i = 0; i < ends.size(); i += 4) line(ends[i], ends[i + 1], ends[i + 2], ends[i + 3]);
  }
  rate(state, "pixels/s", pixels);
  rate(state, "lines/s", double(ends.size() / 4));
}
BENCHMARK(BM_RandomLines);

// --------------------------------------------------------- filled figures
// Draws a figure once to count its pixels, then again and again.
template <class Draw>
void filled_figure(benchmark::State& state, Draw draw) {
  fresh_window();
  setfillstyle(SOLID_FILL, LIGHTBLUE);
  draw();
  const double pixels = drawn_pixels();
  for (auto _ : state) draw();
  rate(state, "pixels/s", pixels);
}

void BM_FillellipseLarge(benchmark::State& state) {
  filled_figure(state, [] { fillellipse(511, 383, 500, 380); });
}
BENCHMARK(BM_FillellipseLarge);

void BM_FillpolyLarge(benchmark::State& state) {
  int star[] = {512, 0,   640, 300, 1023, 300, 700, 480, 900, 767,
                512, 600, 124, 767, 324,  480, 0,   300, 384, 300};
  filled_figure(state, [&] { fillpoly(10, star); });
}
BENCHMARK(BM_FillpolyLarge);

// --------------------------------------------------- a million-point polygon
// A million points, as a closed wavy curve round the page (short edges) or
// scattered over it (long edges crossing every row). Memory should follow
// the page, not the point count: the process's peak resident size is
// reported (run one benchmark alone with --benchmark_filter to read it).
constexpr int kMillion = 1000000;

std::vector<int> million_points(bool scattered) {
  std::vector<int> points(2 * size_t(kMillion));
  std::mt19937 random(11);
  for (int i = 0; i < kMillion; i++) {
    double turn = 6.283185307179586 * i / kMillion;
    double radius = 360 + 20 * std::sin(turn * 5000);
    points[2 * i] = scattered ? int(random() % kWidth) : int(512 + radius * std::cos(turn));
    points[2 * i + 1] = scattered ? int(random() % kHeight) : int(384 + radius * std::sin(turn));
  }
  return points;
}

double peak_resident_mb() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024;
}

void million_point_polygon(benchmark::State& state, void (*draw)(int, int*)) {
  fresh_window();
  setfillstyle(SOLID_FILL, LIGHTBLUE);
  std::vector<int> points = million_points(state.range(0) != 0);
  for (auto _ : state) draw(kMillion, points.data());
  state.SetLabel(state.range(0) ? "scattered" : "curve");
  rate(state, "points/s", kMillion);
  state.counters["peak_rss_MB"] = peak_resident_mb();
}

void BM_DrawpolyMillionPoints(benchmark::State& state) { million_point_polygon(state, drawpoly); }
BENCHMARK(BM_DrawpolyMillionPoints)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillpolyMillionPoints(benchmark::State& state) { million_point_polygon(state, fillpoly); }
BENCHMARK(BM_FillpolyMillionPoints)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------- flood fill
void BM_FloodfillPage(benchmark::State& state) {
  fresh_window();
  int colour = 1;
  for (auto _ : state) {
    setfillstyle(SOLID_FILL, colour);
    colour = colour % 14 + 1;
    floodfill(500, 400, WHITE);  // no white on the page: everything is filled
  }
  rate(state, "pixels/s", kPagePixels);
}
BENCHMARK(BM_FloodfillPage);

// ---------------------------------------------------------------- pixels
void BM_PutpixelWithRefresh(benchmark::State& state) {
  fresh_window();
  unsigned i = 0;
  for (auto _ : state) {
    putpixel(int(i % kWidth), int((i / kWidth) % kHeight), int(i & 15));
    ++i;
  }
  rate(state, "calls/s", 1);
}
BENCHMARK(BM_PutpixelWithRefresh);

}  // namespace
