// Figures given by a box (rectangles, ellipses, arcs, pies) and polygons:
// inclusive boxes, symmetry, connectivity, sectors, fills and exclusive-or.
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "gdi_raster_page.h"

namespace {

using raster_test::Page;
using raster_test::Pixel;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;  // pixel of RGB(255, 0, 0)

// The whole outline of the ellipse in the box, drawn by Arc with equal rays.
std::set<Pixel> outline(int left, int top, int right, int bottom, int width = 1) {
  Page page(std::max(left, right) + 20, std::max(top, bottom) + 20);
  page.pen(width, RGB(255, 255, 255));
  Arc(page.dc(), left, top, right, bottom, right + 5, (top + bottom) / 2, right + 5,
      (top + bottom) / 2);
  return page.drawn();
}

bool mirror_symmetric(const std::set<Pixel>& pixels, int sum_x, int sum_y) {
  for (const Pixel& p : pixels) {
    if (!pixels.count({sum_x - p.first, p.second}) || !pixels.count({p.first, sum_y - p.second})) {
      return false;
    }
  }
  return true;
}

TEST(RasterFigures, CircleInAnInclusiveBox) {
  std::set<Pixel> circle = outline(50, 50, 150, 150);
  for (Pixel p : {Pixel{150, 100}, Pixel{100, 50}, Pixel{50, 100}, Pixel{100, 150}}) {
    EXPECT_TRUE(circle.count(p)) << p.first << "," << p.second;
  }
  int min_x = INT_MAX, max_x = INT_MIN;
  for (const Pixel& p : circle) {
    min_x = std::min(min_x, p.first);
    max_x = std::max(max_x, p.first);
    EXPECT_TRUE(circle.count({p.second, p.first})) << "diagonal " << p.first << "," << p.second;
    double r = std::hypot(p.first - 100, p.second - 100);
    EXPECT_NEAR(r, 50, 0.75);
  }
  EXPECT_EQ(max_x - min_x + 1, 101);
  EXPECT_TRUE(mirror_symmetric(circle, 200, 200));
  EXPECT_TRUE(raster_test::eight_connected(circle));
}

TEST(RasterFigures, EllipsesAreSymmetricAndConnectedForAllSmallBoxes) {
  for (int w = 0; w <= 24; w++) {
    for (int h = 0; h <= 24; h += (w < 6 ? 1 : 5)) {
      std::set<Pixel> pixels = outline(10, 10, 10 + w, 10 + h);
      SCOPED_TRACE(testing::Message() << w << " x " << h);
      ASSERT_TRUE(mirror_symmetric(pixels, 20 + w, 20 + h));
      ASSERT_TRUE(raster_test::eight_connected(pixels));
      ASSERT_TRUE(pixels.count({10 + w, 10 + h / 2}));
      ASSERT_TRUE(pixels.count({10 + w / 2, 10}));
      // One pixel thick: no 2 x 2 block of outline pixels (but on very narrow
      // ellipses, whose tips are two pixels wide).
      for (const Pixel& p : pixels) {
        ASSERT_FALSE(pixels.count({p.first + 1, p.second}) && pixels.count({p.first, p.second + 1}) &&
                     pixels.count({p.first + 1, p.second + 1}) && w >= 6 && h >= 6);
      }
    }
  }
}

TEST(RasterFigures, EllipseFillsInsideItsOutline) {
  Page page(120, 100);
  page.pen(1, RGB(255, 0, 0));
  page.solid_brush(RGB(255, 255, 255));
  Ellipse(page.dc(), 10, 20, 100, 70);
  std::set<Pixel> ring = page.with(kRed), inside = page.with(kWhite);
  EXPECT_EQ(ring, outline(10, 20, 100, 70));
  for (int y = 20; y <= 70; y++) {
    // Each row: outline, fill, outline with no gap in between.
    int first = -1, last = -1;
    for (int x = 0; x < 120; x++) {
      if (page.at(x, y)) {
        if (first < 0) first = x;
        last = x;
      }
    }
    ASSERT_GE(first, 0);
    for (int x = first; x <= last; x++) ASSERT_NE(page.at(x, y), 0u) << x << "," << y;
  }
  EXPECT_TRUE(inside.count({55, 45}));
  // A null pen fills the whole figure with the brush.
  Page hollow(120, 100);
  hollow.null_pen();
  hollow.solid_brush(RGB(255, 255, 255));
  Ellipse(hollow.dc(), 10, 20, 100, 70);
  EXPECT_EQ(hollow.drawn().size(), ring.size() + inside.size());
}

TEST(RasterFigures, ArcRunsCounterClockwiseBetweenTheRays) {
  Page page(200, 200);
  // 0 to 90 degrees: the upper right quarter only.
  Arc(page.dc(), 50, 50, 150, 150, 150, 100, 100, 50);
  std::set<Pixel> quarter = page.drawn();
  EXPECT_TRUE(quarter.count({150, 100}));
  EXPECT_TRUE(quarter.count({100, 50}));
  for (const Pixel& p : quarter) {
    EXPECT_GE(p.first, 100);
    EXPECT_LE(p.second, 100);
  }
  EXPECT_TRUE(raster_test::eight_connected(quarter));
  // 90 to 0 degrees: the other three quarters.
  Page rest(200, 200);
  Arc(rest.dc(), 50, 50, 150, 150, 100, 50, 150, 100);
  EXPECT_TRUE(rest.drawn().count({50, 100}));
  EXPECT_TRUE(rest.drawn().count({100, 150}));
  EXPECT_FALSE(rest.drawn().count({135, 65}));
  EXPECT_EQ(rest.drawn().size() + quarter.size(), outline(50, 50, 150, 150).size() + 2);
}

TEST(RasterFigures, ArcRaysNeedNotTouchTheEllipseAndCentresMayBeHalfPixels) {
  Page page(200, 200);
  // Box 51 wide: centre x 75.5. Rays at 45 and 135 degrees through far points.
  Arc(page.dc(), 50, 60, 101, 111, 75 + 1000, 85 - 1000, 75 - 1000, 85 - 1000);
  // Box 50..101 x 60..111: centre (75.5, 85.5); only the cone above it.
  for (const Pixel& p : page.drawn()) {
    EXPECT_LE(std::abs(2 * p.first - 151), 171 - 2 * p.second + 3) << p.first << "," << p.second;
  }
  EXPECT_TRUE(page.drawn().count({75, 60}) || page.drawn().count({76, 60}));
}

TEST(RasterFigures, PieFillsItsSectorAndOutlinesTheRadii) {
  Page page(200, 200);
  page.pen(1, RGB(255, 0, 0));
  page.solid_brush(RGB(255, 255, 255));
  Pie(page.dc(), 50, 50, 150, 150, 150, 100, 100, 50);  // upper right quarter
  for (const Pixel& p : page.drawn()) {
    ASSERT_GE(p.first, 100);
    ASSERT_LE(p.second, 100);
  }
  for (int x = 100; x <= 150; x++) EXPECT_EQ(page.at(x, 100), kRed) << x;  // radius along 0
  for (int y = 50; y <= 100; y++) EXPECT_EQ(page.at(100, y), kRed) << y;   // radius along 90
  EXPECT_EQ(page.at(120, 80), kWhite);
  EXPECT_EQ(page.at(140, 60), 0u);  // outside the arc
}

TEST(RasterFigures, ExclusiveOrTwiceRestoresEveryFigure) {
  Page page(160, 120, 0x336699);
  page.solid_brush(RGB(20, 200, 40));
  SetROP2(page.dc(), R2_XORPEN);
  const POINT star[] = {{80, 5}, {110, 100}, {30, 40}, {130, 40}, {50, 100}};
  std::vector<uint32_t> before = page.snapshot();
  for (int width : {1, 2, 5}) {
    page.pen(width, RGB(255, 255, 255), width == 2 ? std::vector<DWORD>{3, 4} : std::vector<DWORD>{16, 0});
    auto draw = [&] {
      Polygon(page.dc(), star, 5);
      Ellipse(page.dc(), 10, 10, 90, 70);
      Pie(page.dc(), 60, 20, 150, 110, 150, 20, 60, 110);
      Rectangle(page.dc(), 5, 60, 70, 115);
      Arc(page.dc(), 20, 20, 140, 100, 0, 0, 0, 200);
    };
    draw();
    EXPECT_NE(page.snapshot(), before);
    draw();
    EXPECT_EQ(page.snapshot(), before) << "width " << width;
  }
}

TEST(RasterFigures, OutlineAndFillMeetWithoutDoubleTouch) {
  // In exclusive-or on black, one figure must look exactly like a copy.
  const POINT poly[] = {{10, 10}, {100, 20}, {60, 60}, {110, 110}, {20, 90}};
  for (int figure = 0; figure < 3; figure++) {
    for (int width : {1, 4}) {
      Page copied(120, 120), xored(120, 120);
      SetROP2(xored.dc(), R2_XORPEN);
      for (Page* p : {&copied, &xored}) {
        p->pen(width, RGB(255, 0, 0));
        p->solid_brush(RGB(0, 0, 255));
        if (figure == 0) Polygon(p->dc(), poly, 5);
        if (figure == 1) Pie(p->dc(), 30, 30, 90, 90, 90, 40, 40, 90);
        if (figure == 2) Rectangle(p->dc(), 20, 20, 70, 90);
      }
      EXPECT_EQ(copied.snapshot(), xored.snapshot()) << "figure " << figure << " width " << width;
    }
  }
}

TEST(RasterFigures, PolygonFillsByTheAlternateRule) {
  Page page(200, 200);
  page.null_pen();
  page.solid_brush(RGB(255, 255, 255));
  const POINT pentagram[] = {{100, 10}, {153, 173}, {15, 72}, {185, 72}, {47, 173}};
  EXPECT_TRUE(Polygon(page.dc(), pentagram, 5));
  EXPECT_EQ(page.at(100, 100), 0u);   // the centre is crossed twice
  EXPECT_EQ(page.at(100, 40), kWhite);  // a point of the star
  EXPECT_EQ(page.at(40, 80), kWhite);
  // Left and top edges in, right and bottom out.
  Page square(40, 40);
  square.null_pen();
  square.solid_brush(RGB(255, 255, 255));
  const POINT box[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  Polygon(square.dc(), box, 4);
  EXPECT_EQ(square.drawn().size(), 100u);
  EXPECT_EQ(square.at(10, 10), kWhite);
  EXPECT_EQ(square.at(20, 20), 0u);
}

// Fills the polygon without an outline on a cleared page and checks every
// pixel against the pixel-centre rule.
void expect_pixel_centre_rule(const std::vector<POINT>& corners, int width, int height, int round) {
  Page page(width, height);
  page.null_pen();
  page.solid_brush(RGB(255, 255, 255));
  ASSERT_TRUE(Polygon(page.dc(), corners.data(), int(corners.size())));
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      ASSERT_EQ(page.at(x, y), raster_test::inside_polygon(corners, x, y) ? kWhite : 0u)
          << "round " << round << " at " << x << "," << y;
    }
  }
}

// Random polygons with whole-number corners, steep and flat edges and corners
// far off the page: every pixel against the pixel-centre rule.
TEST(RasterFigures, RandomPolygonsFollowThePixelCentreRule) {
  std::mt19937 rng(5);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int width = 97, height = 71;
  for (int round = 0; round < 40; round++) {
    std::vector<POINT> corners(size_t(any(3, 9)));
    const int reach = round % 4 == 0 ? 5000 : 60;
    for (POINT& c : corners) c = POINT{any(-reach, width + reach), any(-reach, height + reach)};
    expect_pixel_centre_rule(corners, width, height, round);
  }
}

// Random stars, partly off the page: rows are walked in bands between
// corners, where edges join and leave the active set.
TEST(RasterFigures, RandomStarsFollowThePixelCentreRule) {
  std::mt19937 rng(9);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int width = 83, height = 61;
  for (int round = 0; round < 150; round++) {
    std::vector<POINT> corners(size_t(2 * any(3, 8)));
    const int cx = any(0, width), cy = any(0, height), outer = any(5, 60), inner = any(2, outer);
    const double turn = any(0, 359) * 3.14159265358979 / 180;
    for (size_t i = 0; i < corners.size(); i++) {
      const double r = i % 2 ? inner : outer;
      const double a = turn + 6.28318530717959 * double(i) / double(corners.size());
      corners[i] = POINT{cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))};
    }
    expect_pixel_centre_rule(corners, width, height, round);
  }
}

// An ellipse cut by the page edges, whose rows start mid-figure, paints the
// same pixels as the part of the whole ellipse that the page shows.
TEST(RasterFigures, ClippedEllipsesMatchTheWholeOnes) {
  const RECT boxes[] = {{3, 4, 180, 130}, {10, 2, 40, 150}, {5, 60, 170, 75}, {20, 20, 21, 140}};
  for (const RECT& box : boxes) {
    Page whole(200, 160);
    whole.solid_brush(RGB(255, 0, 0));
    ASSERT_TRUE(Ellipse(whole.dc(), box.left, box.top, box.right, box.bottom));
    for (const POINT shift : {POINT{-70, -50}, POINT{-7, -90}, POINT{-120, -3}}) {
      Page part(60, 45);
      part.solid_brush(RGB(255, 0, 0));
      SetViewportOrgEx(part.dc(), shift.x, shift.y, nullptr);
      ASSERT_TRUE(Ellipse(part.dc(), box.left, box.top, box.right, box.bottom));
      for (int y = 0; y < part.height(); y++) {
        for (int x = 0; x < part.width(); x++) {
          ASSERT_EQ(part.at(x, y), whole.at(x - shift.x, y - shift.y))
              << box.left << "," << box.top << " shifted " << shift.x << "," << shift.y << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(RasterFigures, RectangleUsesAnInclusiveBox) {
  Page page(60, 60);
  page.pen(1, RGB(255, 0, 0));
  page.solid_brush(RGB(255, 255, 255));
  Rectangle(page.dc(), 30, 40, 10, 20);  // reversed corners
  EXPECT_EQ(page.with(kRed).size(), 80u);  // 21 x 21 outline
  EXPECT_EQ(page.with(kWhite).size(), 19u * 19u);
  for (Pixel p : {Pixel{10, 20}, Pixel{30, 20}, Pixel{30, 40}, Pixel{10, 40}}) {
    EXPECT_EQ(page.at(p.first, p.second), kRed);
  }
}

TEST(RasterFigures, DottedCircleAlternates) {
  Page solid(120, 120), dotted(120, 120);
  dotted.pen(1, RGB(255, 255, 255), {0, 2});
  for (Page* p : {&solid, &dotted}) Arc(p->dc(), 10, 10, 110, 110, 110, 60, 110, 60);
  size_t all = solid.drawn().size(), some = dotted.drawn().size();
  EXPECT_NEAR(double(some), all / 2.0, 2.0);
  for (const Pixel& p : dotted.drawn()) {
    EXPECT_TRUE(solid.drawn().count(p));
    EXPECT_FALSE(dotted.drawn().count({p.first + 1, p.second}) && dotted.drawn().count({p.first + 2, p.second}));
  }
}

TEST(RasterFigures, WideOutlinesAreCentredOnTheCurve) {
  Page page(200, 200);
  page.pen(5, RGB(255, 255, 255));
  Arc(page.dc(), 50, 50, 150, 150, 0, 0, 0, 0);
  for (const Pixel& p : page.drawn()) {
    double r = std::hypot(p.first - 100, p.second - 100);
    EXPECT_GE(r, 47.4);
    EXPECT_LE(r, 52.6);
  }
  for (int x = 148; x <= 152; x++) EXPECT_EQ(page.at(x, 100), kWhite) << x;
  EXPECT_EQ(page.at(147, 100), 0u);
  EXPECT_EQ(page.at(153, 100), 0u);
}

TEST(RasterFigures, HugeAndDegenerateFiguresFinish) {
  Page page(64, 48);
  page.solid_brush(RGB(255, 255, 255));
  EXPECT_TRUE(Ellipse(page.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(page.drawn().size(), size_t(64 * 48));  // the page is deep inside
  page.clear(0);
  // A circle of radius a billion whose right edge passes x = 30.
  EXPECT_TRUE(Arc(page.dc(), 30 - 2000000000, 24 - 1000000000, 30, 24 + 1000000000, 0, 0, 0, 0));
  std::set<Pixel> edge = page.drawn();
  EXPECT_TRUE(edge.count({30, 24}));
  for (const Pixel& p : edge) EXPECT_GE(p.first, 29);
  page.pen(1000000, RGB(255, 255, 255));
  EXPECT_TRUE(Pie(page.dc(), 0, 0, 10, 10, INT_MAX, 0, 0, INT_MIN));
  EXPECT_TRUE(Arc(page.dc(), INT_MIN, 0, INT_MAX, 1, 0, 0, 1, 1));
  EXPECT_TRUE(Rectangle(page.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  const POINT pts[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
  EXPECT_TRUE(Polygon(page.dc(), pts, 3));
  EXPECT_FALSE(Polygon(page.dc(), pts, 1));
  EXPECT_FALSE(Polygon(page.dc(), pts, -5));
  EXPECT_FALSE(Polygon(page.dc(), nullptr, 3));
  page.pen(1, RGB(255, 255, 255), {3, 4});
  for (int s = 0; s < 4; s++) {
    EXPECT_TRUE(Ellipse(page.dc(), 5, 5, 5 + s, 5));
    EXPECT_TRUE(Pie(page.dc(), 20, 20, 20, 20 + s, 0, 0, 0, 0));
  }
}

}  // namespace
