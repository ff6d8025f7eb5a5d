// Lines and polylines: end points, octants, clipping, dashes, wide pens,
// exclusive-or and bad input.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>

#include "gdi_raster_page.h"

namespace {

using raster_test::Page;
using raster_test::Pixel;
constexpr uint32_t kWhite = 0xFFFFFF;

// The pixels of a horizontal run of row y from x0 to x1 that are drawn, as
// a string of '#' and '.'.
std::string row_pattern(const Page& page, int y, int x0, int x1) {
  std::string s;
  for (int x = x0; x <= x1; x++) s += page.at(x, y) ? '#' : '.';
  return s;
}

std::string repeat(const std::string& unit, size_t length) {
  std::string s;
  while (s.size() < length) s += unit;
  return s.substr(0, length);
}

TEST(RasterLines, CosmeticLineToLeavesOutTheEndPointAndMovesThePosition) {
  Page page(40, 40);
  page.cosmetic_pen();
  page.line(5, 7, 25, 7);
  EXPECT_EQ(page.at(5, 7), kWhite);
  EXPECT_EQ(page.at(24, 7), kWhite);
  EXPECT_EQ(page.at(25, 7), 0u);
  EXPECT_EQ(page.drawn().size(), 20u);
  POINT p;
  GetCurrentPositionEx(page.dc(), &p);
  EXPECT_EQ(p.x, 25);
  EXPECT_EQ(p.y, 7);
  // A line to the current position draws nothing.
  LineTo(page.dc(), 25, 7);
  EXPECT_EQ(page.drawn().size(), 20u);
}

TEST(RasterLines, EveryOctantStepsOncePerMajorPixelAlongTheIdealLine) {
  const int cx = 50, cy = 50;
  const int ends[][2] = {{30, 7},  {7, 30},  {-7, 30}, {-30, 7}, {-30, -7}, {-7, -30},
                         {7, -30}, {30, -7}, {20, 20}, {-20, 20}, {0, 25},  {25, 0}};
  for (const auto& e : ends) {
    Page page(101, 101);
    page.cosmetic_pen();
    page.line(cx, cy, cx + e[0], cy + e[1]);
    std::set<Pixel> pixels = page.drawn();
    int major = std::max(std::abs(e[0]), std::abs(e[1]));
    SCOPED_TRACE(testing::Message() << "to " << e[0] << "," << e[1]);
    EXPECT_EQ(pixels.size(), size_t(major));
    EXPECT_TRUE(pixels.count({cx, cy}));
    EXPECT_FALSE(pixels.count({cx + e[0], cy + e[1]}));
    EXPECT_TRUE(raster_test::eight_connected(pixels));
    for (const Pixel& p : pixels) {
      // Distance along the minor axis from the ideal line is at most half a pixel.
      double dx = p.first - cx, dy = p.second - cy;
      double off = std::abs(e[0]) >= std::abs(e[1]) ? dy - dx * e[1] / e[0] : dx - dy * e[0] / e[1];
      EXPECT_LE(std::abs(off), 0.5) << p.first << "," << p.second;
    }
  }
}

// The library's pen: geometric, square caps; at width 1 each cap is the end
// point's own pixel.
TEST(RasterLines, GeometricThinPenCoversBothEndPoints) {
  const int ends[][2] = {{30, 7}, {-7, 30}, {-30, -7}, {7, -30}, {20, -20}, {0, 25}};
  for (const auto& e : ends) {
    Page page(101, 101);
    page.line(50, 50, 50 + e[0], 50 + e[1]);
    SCOPED_TRACE(testing::Message() << "to " << e[0] << "," << e[1]);
    EXPECT_EQ(page.drawn().size(), size_t(std::max(std::abs(e[0]), std::abs(e[1])) + 1));
    EXPECT_EQ(page.at(50, 50), kWhite);
    EXPECT_EQ(page.at(50 + e[0], 50 + e[1]), kWhite);
  }
  Page page(40, 40);
  const POINT points[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  Polyline(page.dc(), points, 4);
  EXPECT_EQ(page.at(5, 15), kWhite) << "the last point of a polyline";
  EXPECT_EQ(page.drawn().size(), 31u);
  page.clear(0);
  page.line(20, 30, 20, 30);
  EXPECT_EQ(page.drawn(), (std::set<Pixel>{{20, 30}})) << "a line of length 0 is its point";
  // The dash list decides the end pixel as any other: with {3, 5}, step 10
  // lies in a dash and step 12 in a gap.
  page.clear(0);
  page.pen(1, RGB(255, 255, 255), {3, 5});
  page.line(0, 5, 10, 5);
  EXPECT_EQ(row_pattern(page, 5, 0, 11), "####....###.");
  page.line(0, 9, 12, 9);
  EXPECT_EQ(row_pattern(page, 9, 0, 13), "####....####..");
}

TEST(RasterLines, FlatCapsLeaveOutTheEndPoint) {
  Page page(40, 40);
  LOGBRUSH white{BS_SOLID, RGB(255, 255, 255), 0};
  DeleteObject(SelectObject(
      page.dc(), ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 1, &white, 0, nullptr)));
  page.line(5, 7, 25, 7);
  EXPECT_EQ(page.at(25, 7), 0u);
  EXPECT_EQ(page.drawn().size(), 20u);
}

TEST(RasterLines, ExclusiveOrTouchesEachPixelOnceAndTwiceRestores) {
  Page page(80, 80, 0x102030);
  SetROP2(page.dc(), R2_XORPEN);
  const POINT zigzag[] = {{5, 5}, {70, 40}, {5, 70}, {70, 5}, {40, 75}};
  std::vector<uint32_t> before = page.snapshot();
  for (int width : {1, 6}) {
    page.pen(width, RGB(255, 255, 255));
    Polyline(page.dc(), zigzag, 5);
    // Once: every touched pixel is the background with all bits flipped.
    for (const Pixel& p : page.drawn(0x102030)) EXPECT_EQ(page.at(p.first, p.second), 0xEFDFCFu);
    Polyline(page.dc(), zigzag, 5);
    EXPECT_EQ(page.snapshot(), before) << "width " << width;
  }
}

TEST(RasterLines, CosmeticPolylineLeavesOutOnlyTheLastPoint) {
  Page page(40, 40);
  page.cosmetic_pen();
  const POINT points[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  MoveToEx(page.dc(), 1, 2, nullptr);
  EXPECT_TRUE(Polyline(page.dc(), points, 4));
  EXPECT_EQ(page.at(15, 5), kWhite);   // a corner
  EXPECT_EQ(page.at(15, 15), kWhite);  // a corner
  EXPECT_EQ(page.at(6, 15), kWhite);
  EXPECT_EQ(page.at(5, 15), 0u);  // the last point
  EXPECT_EQ(page.drawn().size(), 30u);
  POINT p;
  GetCurrentPositionEx(page.dc(), &p);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 2);
}

TEST(RasterLines, ClippedLinesLandOnTheSamePixels) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coord(-400, 800);
  Page whole(400, 400), clipped(400, 400);
  HRGN region = CreateRectRgn(123, 77, 311, 290);
  SelectClipRgn(clipped.dc(), region);
  DeleteObject(region);
  for (int i = 0; i < 300; i++) {
    int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    whole.line(x0, y0, x1, y1);
    clipped.line(x0, y0, x1, y1);
  }
  for (int y = 0; y < 400; y++) {
    for (int x = 0; x < 400; x++) {
      bool inside = x >= 123 && x < 311 && y >= 77 && y < 290;
      ASSERT_EQ(clipped.at(x, y), inside ? whole.at(x, y) : 0u) << x << "," << y;
    }
  }
}

TEST(RasterLines, FarEndPointsKeepTheLineExact) {
  // A line from far outside lands on the pixels that the same line from a
  // near point on it does: y = x / 2 through the origin, rounded the same.
  Page far(64, 64), near(64, 64);
  far.line(-2000000000, -1000000000, 63, 31);
  near.line(-1000, -500, 63, 31);
  EXPECT_EQ(far.snapshot(), near.snapshot());
  EXPECT_EQ(far.drawn().size(), 64u) << "with the end point";
}

TEST(RasterLines, DashListsMeasureWithTheCaps) {
  struct Case {
    std::vector<DWORD> dashes;
    std::string unit;
  } cases[] = {{{7, 9}, "########........"},
               {{3, 5, 3, 5}, "####...."},
               {{0, 2}, "#."},
               {{0, 16}, "#..............."},
               {{16, 0}, "#"},
               {{7, 4}, "########..."}};
  for (const Case& c : cases) {
    Page page(120, 10);
    page.pen(1, RGB(255, 255, 255), c.dashes);
    page.line(0, 5, 100, 5);
    EXPECT_EQ(row_pattern(page, 5, 0, 99), repeat(c.unit, 100)) << c.dashes[0] << "," << c.dashes[1];
  }
}

TEST(RasterLines, DashesCountMajorAxisStepsOnSlopes) {
  Page page(120, 120);
  page.pen(1, RGB(255, 255, 255), {3, 5});
  page.line(0, 0, 100, 50);
  // Pixel of step i is at column i: columns 0-3 drawn, 4-7 not, ...
  for (const Pixel& p : page.drawn()) EXPECT_LT(p.first % 8, 4) << p.first;
  EXPECT_EQ(page.drawn().size(), 52u);  // 12 full dashes of 4 and one of 4
}

TEST(RasterLines, DashesRunOnRoundCorners) {
  Page page(60, 60);
  page.pen(1, RGB(255, 255, 255), {7, 9});
  // A closed square outline of side 20: 80 steps, the pattern never restarts.
  const POINT square[] = {{10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}};
  Polyline(page.dc(), square, 5);
  std::string walk;
  for (int x = 10; x < 30; x++) walk += page.at(x, 10) ? '#' : '.';
  for (int y = 10; y < 30; y++) walk += page.at(30, y) ? '#' : '.';
  for (int x = 30; x > 10; x--) walk += page.at(x, 30) ? '#' : '.';
  for (int y = 30; y > 10; y--) walk += page.at(10, y) ? '#' : '.';
  EXPECT_EQ(walk, repeat("########........", 80));
}

TEST(RasterLines, WidePensHaveSquareCapsAndTheirWidth) {
  for (int width : {2, 3, 4, 7}) {
    Page page(60, 60);
    page.pen(width, RGB(255, 255, 255));
    page.line(20, 30, 40, 30);
    std::set<Pixel> pixels = page.drawn();
    int lo = -(width / 2), hi = (width - 1) / 2;  // rows and cap columns around the line
    int half_lo = width / 2, half_hi = width - width / 2;
    SCOPED_TRACE(width);
    EXPECT_EQ(pixels.size(), size_t((20 + width) * width));
    EXPECT_TRUE(pixels.count({20 - half_lo, 30 + lo}));
    EXPECT_TRUE(pixels.count({40 + half_hi - 1, 30 + hi}));
    EXPECT_FALSE(pixels.count({20 - half_lo - 1, 30}));
    EXPECT_FALSE(pixels.count({40 + half_hi, 30}));
    EXPECT_FALSE(pixels.count({30, 30 + lo - 1}));
    EXPECT_FALSE(pixels.count({30, 30 + hi + 1}));
  }
}

TEST(RasterLines, WideVerticalAndDiagonalLines) {
  Page page(80, 80);
  page.pen(5, RGB(255, 255, 255));
  page.line(10, 10, 10, 40);
  EXPECT_EQ(page.drawn().size(), size_t(35 * 5));
  Page diagonal(80, 80);
  diagonal.pen(6, RGB(255, 255, 255));
  diagonal.line(20, 20, 50, 50);
  // Its middle is six pixels wide measured across: about 6 * sqrt(2) per row.
  int count = 0;
  for (int x = 0; x < 80; x++) count += diagonal.at(x, 35) != 0;
  EXPECT_GE(count, 8);
  EXPECT_LE(count, 9);
  EXPECT_TRUE(raster_test::eight_connected(diagonal.drawn()));
}

TEST(RasterLines, BevelJoinCutsTheOuterCorner) {
  Page page(60, 60);
  page.pen(9, RGB(255, 255, 255));
  const POINT corner[] = {{10, 30}, {30, 30}, {30, 50}};
  Polyline(page.dc(), corner, 3);
  EXPECT_EQ(page.at(30, 30), kWhite);
  // The bevel joins the outer edges' ends (30, 25.5) and (34.5, 30).
  EXPECT_EQ(page.at(32, 28), kWhite);
  EXPECT_EQ(page.at(33, 27), 0u);
  EXPECT_EQ(page.at(34, 26), 0u);  // the square corner a miter would fill
  EXPECT_EQ(page.at(26, 34), kWhite);  // the inner corner
  EXPECT_EQ(page.at(10 - 4, 30), kWhite);  // square cap at the start
  EXPECT_EQ(page.at(30, 50 + 4), kWhite);  // and at the end
}

TEST(RasterLines, WideDashesCarryCaps) {
  Page page(120, 20);
  page.pen(3, RGB(255, 255, 255), {7, 9});
  page.line(10, 10, 100, 10);
  // Each dash: 7 plus a cap of 1.5 on each side = 10 pixels; gaps 6.
  EXPECT_EQ(row_pattern(page, 10, 9, 104), repeat("##########......", 96));
  EXPECT_EQ(row_pattern(page, 9, 9, 104), row_pattern(page, 10, 9, 104));
}

TEST(RasterLines, BadInputIsHarmless) {
  Page page(64, 48);
  EXPECT_FALSE(Polyline(page.dc(), nullptr, 5));
  const POINT pts[] = {{1, 1}, {30, 30}};
  EXPECT_FALSE(Polyline(page.dc(), pts, -5));
  EXPECT_FALSE(Polyline(page.dc(), pts, 0));
  EXPECT_FALSE(Polyline(page.dc(), pts, 1));
  EXPECT_FALSE(LineTo(nullptr, 5, 5));
  EXPECT_EQ(page.drawn().size(), 0u);
  page.line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  page.line(INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  page.pen(1000000, RGB(255, 255, 255));
  page.line(INT_MIN, 20, INT_MAX, 20);
  EXPECT_EQ(page.drawn().size(), size_t(64 * 48));  // the wide line covers the page
  page.clear(0);
  page.pen(3, RGB(255, 255, 255), {0, 2});
  page.line(INT_MIN, 20, INT_MAX, 20);  // billions of dashes, a few visible
  EXPECT_GT(page.drawn().size(), 0u);
  page.pen(INT_MAX, RGB(255, 255, 255), {1, 4000000000u});
  const POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, 0}};
  EXPECT_TRUE(Polyline(page.dc(), far, 4));
}

}  // namespace
