// kel beside the 2D libraries people pick instead: each operation runs with
// kel, with SDL2 (software renderer, plus SDL2_gfx) and with cairo (pixman
// underneath, no antialiasing) on identical figures in a 1024 x 768 32-bit
// page, in one process. Before timing, each library draws the figure once
// on a cleared page and the painted pixels are counted; at the end a table
// gives the median time of each and kel's speed divided by the best peer's,
// with the painted counts beside it.
//
// Where an operation's work is plain pixel writing, a "limit" runs the same
// figure as the simplest loop this machine does it with (memset of the page
// for the solid bar, a plain stepping loop for lines, a fill of the
// figure's rows, worked out beforehand, for the ellipse and the star, two
// row copies for the sprite), so that kel's time can be read as a share of
// what the machine does at that moment.
//
//   bench/peers/peers_bench --benchmark_repetitions=5
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "kel/kel_internal.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
const char kText[] = "The quick brown fox jumps over the lazy dog 0123456789";

// ------------------------------------------------------------------ pages
// The 8 x 8 diagonal cross of kel's XHATCH_FILL in light blue on black, as
// the peers' pattern tile.
const std::vector<uint32_t>& hatch_tile() {
  static const std::vector<uint32_t> tile = [] {
    std::vector<uint32_t> out(64);
    for (int i = 0; i < 64; i++) {
      const int x = i & 7, y = i >> 3;
      out[size_t(i)] = (x == y || x + y == 7) ? 0x5555FF : 0;
    }
    return out;
  }();
  return tile;
}

struct KelPage {
  KelPage() {
    window = initwindow(kWidth, kHeight, "peers", 0, 0, false, false);
    setrefreshingkel(true);
  }
  uint32_t* pixels() {
    WindowData* wd = KEL__GetWindowDataPtr();
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(wd->hDC[wd->active_page.load()], OBJ_BITMAP));
    copy.resize(size_t(kWidth) * kHeight);
    GetBitmapBits(bitmap, LONG(copy.size() * 4), copy.data());
    return copy.data();
  }
  void clear() {
    graphdefaults();
    setbkcolor(BLACK);
    cleardevice();
  }
  int window;
  std::vector<uint32_t> copy;
};

struct SdlPage {
  SdlPage() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_Init(0);
    surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_XRGB8888);
    sprite = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_XRGB8888);
    renderer = SDL_CreateSoftwareRenderer(surface);
    tile = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_XRGB8888);
    std::copy(hatch_tile().begin(), hatch_tile().end(), static_cast<uint32_t*>(tile->pixels));
  }
  uint32_t* pixels() { return static_cast<uint32_t*>(surface->pixels); }
  void clear() { SDL_FillRect(surface, nullptr, 0); }
  SDL_Surface *surface, *sprite, *tile;
  SDL_Renderer* renderer;
};

struct CairoPage {
  CairoPage() {
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    sprite = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 64);
    sprite_cr = cairo_create(sprite);
    tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    std::copy(hatch_tile().begin(), hatch_tile().end(),
              reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(tile)));
    cairo_surface_mark_dirty(tile);
    pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  }
  uint32_t* pixels() {
    cairo_surface_flush(surface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
  }
  void clear() {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
  }
  void white() { cairo_set_source_rgb(cr, 1, 1, 1); }
  cairo_surface_t *surface, *sprite, *tile;
  cairo_t *cr, *sprite_cr;
  cairo_pattern_t* pattern;
};

// A bare page for the limits.
struct LimitPage {
  std::vector<uint32_t> page = std::vector<uint32_t>(size_t(kWidth) * kHeight);
  std::vector<uint32_t> sprite = std::vector<uint32_t>(64 * 64);
  uint32_t* pixels() { return page.data(); }
  uint32_t* row(int y) { return page.data() + size_t(y) * kWidth; }
  void clear() { std::fill(page.begin(), page.end(), 0); }
};

KelPage& kel() {
  static KelPage page;
  return page;
}
SdlPage& sdl() {
  static SdlPage page;
  return page;
}
CairoPage& cairo() {
  static CairoPage page;
  return page;
}
LimitPage& limit() {
  static LimitPage page;
  return page;
}

// ------------------------------------------------------------- the figures
struct Segment {
  int x0, y0, x1, y1;
};
const std::vector<Segment>& segments() {
  static const std::vector<Segment> all = [] {
    std::mt19937 rng(7);
    std::vector<Segment> out;
    for (int i = 0; i < 1000; i++) {
      out.push_back(Segment{int(rng() % kWidth), int(rng() % kHeight), int(rng() % kWidth),
                            int(rng() % kHeight)});
    }
    return out;
  }();
  return all;
}
double line_pixels() {
  double total = 0;
  for (const Segment& s : segments()) total += std::max(std::abs(s.x1 - s.x0), std::abs(s.y1 - s.y0)) + 1;
  return total;
}
// A ten-point star over the page.
std::vector<int> star() {
  std::vector<int> xy;
  for (int i = 0; i < 10; i++) {
    const double r = i % 2 ? 150 : 383, a = i * 3.14159265358979 / 5 - 3.14159265358979 / 2;
    xy.push_back(512 + int(std::lround(r * std::cos(a))));
    xy.push_back(384 + int(std::lround(r * std::sin(a))));
  }
  return xy;
}
std::vector<SDL_Point> random_points(size_t n) {
  std::mt19937 rng(11);
  std::vector<SDL_Point> out(n);
  for (SDL_Point& p : out) p = SDL_Point{int(rng() % kWidth), int(rng() % kHeight)};
  return out;
}
const std::vector<SDL_Point>& dots() {
  static const std::vector<SDL_Point> all = random_points(4096);
  return all;
}

// ------------------------------------------------------------- operations
// One figure drawn by each library; null where a library has no such
// operation or the operation no plain limit. `units` is what one call
// draws, for the rate counter.
struct Operation {
  const char* name;
  const char* unit;
  double units;
  std::function<void()> kel, sdl, cairo, limit;
};

void kel_lines() {
  setcolor(WHITE);
  for (const Segment& s : segments()) line(s.x0, s.y0, s.x1, s.y1);
}
void sdl_lines() {
  SDL_SetRenderDrawColor(sdl().renderer, 255, 255, 255, 255);
  for (const Segment& s : segments()) SDL_RenderDrawLine(sdl().renderer, s.x0, s.y0, s.x1, s.y1);
}
void cairo_lines() {
  cairo_t* cr = cairo().cr;
  cairo().white();
  cairo_set_line_width(cr, 1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  for (const Segment& s : segments()) {
    cairo_move_to(cr, s.x0 + 0.5, s.y0 + 0.5);
    cairo_line_to(cr, s.x1 + 0.5, s.y1 + 0.5);
    cairo_stroke(cr);
  }
}

// Steps from one end to the other along the major axis, moving along the
// minor one when the error runs over.
void limit_lines() {
  for (const Segment& s : segments()) {
    const int dx = std::abs(s.x1 - s.x0), dy = std::abs(s.y1 - s.y0);
    const bool flat = dx >= dy;
    const int major = flat ? dx : dy, minor = flat ? dy : dx;
    const ptrdiff_t sx = s.x1 >= s.x0 ? 1 : -1, sy = s.y1 >= s.y0 ? kWidth : -kWidth;
    const ptrdiff_t along = flat ? sx : sy, across = flat ? sy : sx;
    uint32_t* out = limit().row(s.y0) + s.x0;
    for (int i = 0, error = major; i <= major; i++) {
      *out = 0xFFFFFF;
      out += along;
      error += 2 * minor;
      if (error >= 2 * major) {
        error -= 2 * major;
        out += across;
      }
    }
  }
}

// The rows of a figure, worked out once: the limits of the filled figures
// only fill them, with the C library's wide-character fill (32 bits here).
struct Span {
  int y, x0, x1;
};
static_assert(sizeof(wchar_t) == 4, "the span fill stores 32-bit pixels as wide characters");
void fill_spans(const std::vector<Span>& spans) {
  for (const Span& s : spans) {
    std::wmemset(reinterpret_cast<wchar_t*>(limit().row(s.y) + s.x0), wchar_t(0xFFFFFF), size_t(s.x1 - s.x0));
  }
}

// Scan conversion of a polygon: each row's crossings of every edge, sorted
// and paired.
std::vector<Span> polygon_spans(const std::vector<int>& xy) {
  const size_t n = xy.size() / 2;
  std::vector<Span> out;
  std::vector<int> crossings;
  for (int y = 0; y < kHeight; y++) {
    crossings.clear();
    for (size_t i = 0; i < n; i++) {
      const int x0 = xy[2 * i], y0 = xy[2 * i + 1], x1 = xy[(2 * i + 2) % xy.size()],
                y1 = xy[(2 * i + 3) % xy.size()];
      if ((y0 <= y) == (y1 <= y)) continue;
      crossings.push_back(int(std::ceil(x0 + double(y - y0) * (x1 - x0) / (y1 - y0))));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) out.push_back(Span{y, crossings[i], crossings[i + 1]});
  }
  return out;
}

std::vector<Span> ellipse_spans(int cx, int cy, int rx, int ry) {
  std::vector<Span> out;
  for (int dy = -ry; dy <= ry; dy++) {
    const double t = dy / (ry + 0.5);
    const int half = int((rx + 0.5) * std::sqrt(1 - t * t));
    out.push_back(Span{cy + dy, cx - half, cx + half + 1});
  }
  return out;
}

void limit_sprite() {
  LimitPage& page = limit();
  for (int y = 0; y < 64; y++) std::memcpy(&page.sprite[size_t(y) * 64], page.row(100 + y) + 100, 64 * 4);
  for (int y = 0; y < 64; y++) std::memcpy(page.row(300 + y) + 300, &page.sprite[size_t(y) * 64], 64 * 4);
}

void cairo_polygon(const std::vector<int>& xy) {
  cairo_t* cr = cairo().cr;
  cairo().white();
  cairo_move_to(cr, xy[0] + 0.5, xy[1] + 0.5);
  for (size_t i = 2; i < xy.size(); i += 2) cairo_line_to(cr, xy[i] + 0.5, xy[i + 1] + 0.5);
  cairo_close_path(cr);
  cairo_fill(cr);
}
void sdl_polygon(const std::vector<int>& xy) {
  std::vector<Sint16> xs, ys;
  for (size_t i = 0; i < xy.size(); i += 2) {
    xs.push_back(Sint16(xy[i]));
    ys.push_back(Sint16(xy[i + 1]));
  }
  filledPolygonRGBA(sdl().renderer, xs.data(), ys.data(), int(xs.size()), 255, 255, 255, 255);
}

void kel_sprite() {
  static std::vector<char> buffer(imagesize(0, 0, 63, 63));
  getimage(100, 100, 163, 163, buffer.data());
  putimage(300, 300, buffer.data(), COPY_PUT);
}
void sdl_sprite() {
  SDL_Rect from{100, 100, 64, 64}, to{300, 300, 64, 64};
  SDL_BlitSurface(sdl().surface, &from, sdl().sprite, nullptr);
  SDL_BlitSurface(sdl().sprite, nullptr, sdl().surface, &to);
}
void cairo_sprite() {
  CairoPage& c = cairo();
  cairo_set_source_surface(c.sprite_cr, c.surface, -100, -100);
  cairo_paint(c.sprite_cr);
  cairo_set_source_surface(c.cr, c.sprite, 300, 300);
  cairo_rectangle(c.cr, 300, 300, 64, 64);
  cairo_fill(c.cr);
}

std::vector<Operation> operations() {
  static const std::vector<int> star_xy = star();
  return {
      {"bar (whole page, solid)", "pixels", double(kWidth) * kHeight,
       [] {
         setfillstyle(SOLID_FILL, WHITE);
         bar(0, 0, kWidth, kHeight);
       },
       [] { SDL_FillRect(sdl().surface, nullptr, 0xFFFFFF); },
       [] {
         cairo().white();
         cairo_rectangle(cairo().cr, 0, 0, kWidth, kHeight);
         cairo_fill(cairo().cr);
       },
       [] { std::memset(limit().pixels(), 0xFF, size_t(kWidth) * kHeight * 4); }},
      {"random 1-px lines", "pixels", line_pixels(), kel_lines, sdl_lines, cairo_lines, limit_lines},
      {"fillellipse 500 x 380", "pixels", 3.14159265 * 250 * 190,
       [] {
         setcolor(WHITE);
         setfillstyle(SOLID_FILL, WHITE);
         fillellipse(512, 384, 250, 190);
       },
       [] { filledEllipseRGBA(sdl().renderer, 512, 384, 250, 190, 255, 255, 255, 255); },
       [] {
         cairo_t* cr = cairo().cr;
         cairo().white();
         cairo_save(cr);
         cairo_translate(cr, 512.5, 384.5);
         cairo_scale(cr, 250.5, 190.5);
         cairo_arc(cr, 0, 0, 1, 0, 2 * 3.14159265358979);
         cairo_restore(cr);
         cairo_fill(cr);
       },
       [] {
         static const std::vector<Span> spans = ellipse_spans(512, 384, 250, 190);
         fill_spans(spans);
       }},
      {"fillpoly 10-point star", "figures", 1,
       [] {
         setcolor(WHITE);
         setfillstyle(SOLID_FILL, WHITE);
         fillpoly(10, const_cast<int*>(star_xy.data()));
       },
       [] { sdl_polygon(star_xy); }, [] { cairo_polygon(star_xy); }, [] {
         static const std::vector<Span> spans = polygon_spans(star_xy);
         fill_spans(spans);
       }},
      {"getimage + putimage 64 x 64", "pairs", 1, kel_sprite, sdl_sprite, cairo_sprite, limit_sprite},
      {"putpixel, refresh on", "pixels", double(dots().size()),
       [] {
         for (const SDL_Point& p : dots()) putpixel(p.x, p.y, WHITE);
       },
       [] {
         for (const SDL_Point& p : dots()) pixelRGBA(sdl().renderer, Sint16(p.x), Sint16(p.y), 255, 255, 255, 255);
       },
       [] {
         cairo().white();
         for (const SDL_Point& p : dots()) {
           cairo_rectangle(cairo().cr, p.x, p.y, 1, 1);
           cairo_fill(cairo().cr);
         }
       },
       nullptr},
      {"text", "strings", 1,
       [] {
         setcolor(WHITE);
         outtextxy(10, 10, const_cast<char*>(kText));
       },
       [] { stringRGBA(sdl().renderer, 10, 10, kText, 255, 255, 255, 255); },
       [] {
         cairo().white();
         cairo_move_to(cairo().cr, 10, 18);
         cairo_show_text(cairo().cr, kText);
       },
       nullptr},
      {"text width", "strings", 1,
       [] { benchmark::DoNotOptimize(textwidth(const_cast<char*>(kText))); }, nullptr,
       [] {
         cairo_text_extents_t extents;
         cairo_text_extents(cairo().cr, kText, &extents);
         benchmark::DoNotOptimize(extents.x_advance);
       },
       nullptr},
      {"bar (whole page, pattern)", "pixels", double(kWidth) * kHeight,
       [] {
         setfillstyle(XHATCH_FILL, LIGHTBLUE);
         bar(0, 0, kWidth, kHeight);
       },
       [] {
         const Sint16 xs[4] = {0, kWidth, kWidth, 0}, ys[4] = {0, 0, kHeight, kHeight};
         texturedPolygon(sdl().renderer, xs, ys, 4, sdl().tile, 0, 0);
       },
       [] {
         cairo_set_source(cairo().cr, cairo().pattern);
         cairo_rectangle(cairo().cr, 0, 0, kWidth, kHeight);
         cairo_fill(cairo().cr);
       },
       nullptr},
      {"flood fill (whole page)", "pixels", double(kWidth) * kHeight,
       [] {
         setfillstyle(SOLID_FILL, getpixel(500, 400) == YELLOW ? LIGHTGREEN : YELLOW);
         floodfill(500, 400, WHITE);
       },
       nullptr, nullptr, nullptr},
  };
}

// ------------------------------------------------------------- counting
template <class Page>
long painted(Page& page, const std::function<void()>& draw) {
  page.clear();
  draw();
  const uint32_t* p = page.pixels();
  long count = 0;
  for (size_t i = 0; i < size_t(kWidth) * kHeight; i++) count += (p[i] & 0xFFFFFF) != 0;
  return count;
}

struct Result {
  double seconds = 0;
  long painted = -1;
};
std::map<std::string, std::map<std::string, Result>> results;  // operation -> library

void run(benchmark::State& state, const Operation& op, const char* library,
         const std::function<void()>& draw, long count) {
  for (auto _ : state) draw();
  state.counters[std::string(op.unit) + "/s"] =
      benchmark::Counter(op.units * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["painted"] = double(count);
  results[op.name][library].painted = count;
}

class MedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.benchmark_name();
      const size_t a = name.find('/'), b = name.find('/', a + 1);
      const std::string op = name.substr(a + 1, b - a - 1);
      std::string library = name.substr(b + 1);
      library = library.substr(0, library.find_first_of("/_"));
      results[op][library].seconds = run.GetAdjustedRealTime() / 1e9;  // ns
    }
  }
};

// "1.23 ms" for a time, "456 Mpixels/s" for a rate.
std::string figure(double value, const char* unit) {
  const char* prefixes[] = {"", "k", "M", "G"};
  int prefix = 0;
  if (std::string(unit) != "ms") {
    while (prefix < 3 && value >= 1000) {
      value /= 1000;
      prefix++;
    }
  }
  char text[48];
  std::snprintf(text, sizeof text, "%.4g %s%s", value, prefixes[prefix], unit);
  return text;
}

void print_table() {
  std::printf("\n| operation | kel | SDL2 | cairo | limit | kel / best peer | kel / limit | kel rate |"
              " painted (kel, SDL2, cairo, limit) |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  for (const Operation& op : operations()) {
    auto& r = results[op.name];
    auto has = [&](const char* lib) { return r.count(lib) && r[lib].seconds > 0; };
    auto cell = [&](const char* lib) { return has(lib) ? figure(r[lib].seconds * 1e3, "ms") : "-"; };
    auto ratio = [&](double other) {
      if (other <= 0 || !has("kel")) return std::string("-");
      char text[32];
      std::snprintf(text, sizeof text, "%.2fx", other / r["kel"].seconds);
      return std::string(text);
    };
    double best = 0;
    for (const char* peer : {"SDL2", "cairo"}) {
      if (has(peer) && (best == 0 || r[peer].seconds < best)) best = r[peer].seconds;
    }
    const std::string rate = has("kel") ? figure(op.units / r["kel"].seconds, (std::string(op.unit) + "/s").c_str()) : "-";
    auto count = [&](const char* lib) { return r.count(lib) ? std::to_string(r[lib].painted) : std::string("-"); };
    std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s, %s, %s, %s |\n", op.name, cell("kel").c_str(),
                cell("SDL2").c_str(), cell("cairo").c_str(), cell("limit").c_str(),
                best > 0 ? ratio(best).c_str() : "no peer", ratio(has("limit") ? r["limit"].seconds : 0).c_str(),
                rate.c_str(), count("kel").c_str(), count("SDL2").c_str(), count("cairo").c_str(),
                count("limit").c_str());
  }
}

void register_all() {
  for (const Operation& op : operations()) {
    const std::pair<const char*, std::function<void()>> libraries[] = {
        {"kel", op.kel}, {"SDL2", op.sdl}, {"cairo", op.cairo}, {"limit", op.limit}};
    for (const auto& [library, draw] : libraries) {
      if (!draw) continue;
      const std::string name = library;
      const long count = name == "kel"    ? painted(kel(), draw)
                         : name == "SDL2" ? painted(sdl(), draw)
                         : name == "cairo" ? painted(cairo(), draw)
                                           : painted(limit(), draw);
      benchmark::RegisterBenchmark(("peers/" + std::string(op.name) + "/" + name).c_str(),
                                   [op, name, draw, count](benchmark::State& state) {
                                     run(state, op, name.c_str(), draw, count);
                                   });
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kel();
  register_all();
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_table();
  closegraph();
  return 0;
}
