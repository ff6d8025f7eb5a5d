// The rasterizer's fast paths against its exact general path: random lines
// and figures, with random pens, brushes, mix modes and origins, are drawn
// once with the fast paths and once without, and the pages must agree pixel
// for pixel. Also the crossing count of rows with many edges, against the
// pixel-centre rule worked out directly.
#include <random>
#include <string>

#include "gdi_raster_page.h"
#include "platform_testing.h"

namespace {

using raster_test::Page;

constexpr int kWidth = 83, kHeight = 61;

class Scene {
 public:
  explicit Scene(unsigned seed) : rng_(seed) {}
  int any(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  POINT point() { return POINT{any(-20, kWidth + 20), any(-20, kHeight + 20)}; }
  COLORREF color() { return RGB(any(0, 255), any(0, 255), any(0, 255)); }

  // Sets up the pen, brush, mix mode, background mode and origin of a page;
  // returns a description for failure messages.
  std::string setup(Page& page, unsigned seed) {
    rng_.seed(seed);
    std::mt19937 fill(seed);
    for (int y = 0; y < kHeight; y++) {
      for (int x = 0; x < kWidth; x++) page.set(x, y, fill() & 0xFFFFFF);
    }
    static const int kModes[] = {R2_COPYPEN, R2_COPYPEN, R2_NOTCOPYPEN, R2_BLACK, R2_WHITE,
                                 R2_XORPEN, R2_MERGEPEN, R2_NOP, R2_NOT};
    const int mode = kModes[any(0, 8)];
    SetROP2(page.dc(), mode);
    SetBkMode(page.dc(), any(0, 1) ? OPAQUE : TRANSPARENT);
    SetBkColor(page.dc(), color());
    SetTextColor(page.dc(), color());
    SetViewportOrgEx(page.dc(), any(-5, 5), any(-5, 5), nullptr);
    const int pen = any(0, 3), brush = any(0, 4);
    // Brush 4 is solid in the pen's colour: figures may paint the two as one.
    const COLORREF pen_color = color();
    if (pen == 0) page.pen(1, pen_color);
    if (pen == 1) page.pen(1, color(), {DWORD(any(1, 5)), DWORD(any(1, 5))});
    if (pen == 2) page.pen(any(2, 6), color());
    if (pen == 3) page.null_pen();
    if (brush == 0) page.solid_brush(color());
    if (brush == 1) page.brush(CreateHatchBrush(any(HS_HORIZONTAL, HS_DIAGCROSS), color()));
    if (brush == 2) page.brush(pattern_brush());
    if (brush == 3) page.brush(GetStockObject(NULL_BRUSH));
    if (brush == 4) page.solid_brush(pen_color);
    return "mode " + std::to_string(mode) + " pen " + std::to_string(pen) + " brush " +
           std::to_string(brush);
  }

  void draw(Page& page, int figure) {
    HDC dc = page.dc();
    POINT a = point(), b = point(), c = point(), d = point();
    switch (figure) {
      case 0:
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        break;
      case 1: case 2: {
        POINT points[7] = {a, b, c, d, point(), point(), point()};
        const int n = any(2, 7);
        figure == 1 ? Polyline(dc, points, n) : Polygon(dc, points, n);
        break;
      }
      case 3: Rectangle(dc, a.x, a.y, b.x, b.y); break;
      case 4: Ellipse(dc, a.x, a.y, b.x, b.y); break;
      case 5: Pie(dc, a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y); break;
      default: Arc(dc, a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y); break;
    }
  }

 private:
  HBRUSH pattern_brush() {
    WORD rows[8];
    for (WORD& r : rows) r = WORD(any(0, 255));
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    return brush;
  }
  std::mt19937 rng_;
};

class FastPathsOff {
 public:
  FastPathsOff() { kelplat::testing::set_raster_fast_paths(false); }
  ~FastPathsOff() { kelplat::testing::set_raster_fast_paths(true); }
};

TEST(RasterFastPaths, RandomFiguresPaintTheSamePixelsAsTheExactPath) {
  int compared = 0;
  for (unsigned seed = 1; seed <= 1000; seed++) {
    Page fast(kWidth, kHeight), exact(kWidth, kHeight);
    Scene scene(seed);
    const int figure = int(seed % 7);
    const std::string what = scene.setup(fast, seed);
    scene.draw(fast, figure);
    scene.setup(exact, seed);
    {
      FastPathsOff off;
      scene.draw(exact, figure);
    }
    ASSERT_EQ(fast.snapshot(), exact.snapshot()) << "seed " << seed << " figure " << figure << " " << what;
    compared++;
  }
  EXPECT_EQ(compared, 1000);
}

// Polygons with a one-pixel solid pen, whose outline the fast path paints
// row by row with the fill: points near the page, some far off it, and
// level, steep and diagonal edges; every brush and mix mode; clipped or not.
TEST(RasterFastPaths, PolygonOutlinesPaintedWithTheFillMatchTheExactPath) {
  for (unsigned seed = 1; seed <= 600; seed++) {
    std::vector<POINT> points;
    auto draw = [&](Page& page) {
      Scene scene(seed);
      const std::string what = scene.setup(page, seed);
      if (scene.any(0, 1)) {
        page.pen(1, scene.color());
      } else {
        DeleteObject(SelectObject(page.dc(), CreatePen(PS_SOLID, scene.any(0, 1), scene.color())));
      }
      if (scene.any(0, 1)) SetROP2(page.dc(), R2_COPYPEN);
      if (scene.any(0, 1)) {
        HRGN clip = CreateRectRgn(scene.any(0, 40), scene.any(0, 30), scene.any(20, kWidth), scene.any(15, kHeight));
        SelectClipRgn(page.dc(), clip);
        DeleteObject(clip);
      }
      points.assign(size_t(scene.any(2, 24)), POINT{});
      const int far = scene.any(0, 3) == 0 ? 1 << scene.any(8, 29) : 0;
      for (POINT& p : points) {
        p = scene.point();
        if (scene.any(0, 7) == 0) p.x = points[0].x + scene.any(-1, 1) * (p.y - points[0].y);
        if (far && scene.any(0, 3) == 0) p = POINT{scene.any(-far, far), scene.any(-far, far)};
      }
      Polygon(page.dc(), points.data(), int(points.size()));
      return what;
    };
    Page fast(kWidth, kHeight), exact(kWidth, kHeight);
    const std::string what = draw(fast);
    {
      FastPathsOff off;
      draw(exact);
    }
    ASSERT_EQ(fast.snapshot(), exact.snapshot()) << "seed " << seed << " " << what;
  }
}

// A comb whose rows cross far more edges than a row sorts: even-odd by the
// pixel centres, counted directly.
TEST(RasterFastPaths, RowsWithManyCrossingsFollowThePixelCentreRule) {
  const int teeth = 90, width = 4 * teeth + 20, height = 40;
  std::vector<POINT> comb;
  for (int i = 0; i < teeth; i++) {
    comb.push_back(POINT{10 + 4 * i, 5});
    comb.push_back(POINT{12 + 4 * i, 35 - i % 7});
  }
  comb.push_back(POINT{10 + 4 * teeth, 38});
  comb.push_back(POINT{2, 38});
  Page page(width, height);
  page.null_pen();
  page.solid_brush(RGB(255, 255, 255));
  ASSERT_TRUE(Polygon(page.dc(), comb.data(), int(comb.size())));
  int inside_count = 0;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      const bool inside = raster_test::inside_polygon(comb, x, y);
      inside_count += inside;
      ASSERT_EQ(page.at(x, y), inside ? 0xFFFFFFu : 0u) << x << "," << y;
    }
  }
  EXPECT_GT(inside_count, teeth * 20);
}

}  // namespace
