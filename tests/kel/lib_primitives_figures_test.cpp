// Where the figures land on the page: arcs and their recorded end points,
// symmetric circles and ellipses, bar3d's outlines, rectangles, bars, lines
// and the current position, polylines and polygons, clearing, clipping at
// the viewport's edge, and pixels read back as colour values.
#include <cmath>
#include <functional>

#include "lib_primitives_support.h"

using namespace prim_test;

namespace {

class PrimitiveFigures : public PrimitivesTest {};

// The pixels of `pixel` on the page, relative to (cx, cy).
std::set<Pixel> offsets(const PageImage& image, uint32_t pixel, int cx, int cy) {
  std::set<Pixel> out;
  for (const Pixel& p : image.with(pixel)) out.insert({p.first - cx, p.second - cy});
  return out;
}

}  // namespace

// ------------------------------------------------------------------ arcs
TEST_F(PrimitiveFigures, ArcRecordsItsCentreAndTruncatedEndPoints) {
  arc(100, 100, 0, 90, 50);
  arccoordstype a;
  getarccoords(&a);
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 100);
  EXPECT_EQ(a.xstart, 150);
  EXPECT_EQ(a.ystart, 100);
  EXPECT_EQ(a.xend, 100);
  EXPECT_EQ(a.yend, 50);
  PageImage quarter = page();
  EXPECT_TRUE(quarter.is(150, 100, WHITE));
  EXPECT_TRUE(quarter.is(100, 50, WHITE));
  RECT box = quarter.bounds(stored(WHITE));
  EXPECT_RECT((RECT{100, 50, 151, 101}), box) << "only the upper right quarter";

  arc(200, 150, 45, 135, 50);
  getarccoords(&a);
  EXPECT_EQ(a.x, 200);
  EXPECT_EQ(a.xstart, 235) << "35.355 truncates to 35";
  EXPECT_EQ(a.ystart, 115);
  EXPECT_EQ(a.xend, 165) << "-35.355 truncates to -35";
  EXPECT_EQ(a.yend, 115);
  PageImage top = page();
  EXPECT_TRUE(top.is(200, 100, WHITE)) << "the arc passes over the top";
  EXPECT_EQ(top.count(stored(WHITE), 150, 120, 251, 201), 0) << "nothing below the ends";
}

TEST_F(PrimitiveFigures, AnglesOutsideTheCircleActLikeTheirRemainder) {
  arc(100, 100, -90, 0, 50);
  PageImage negative = page();
  arccoordstype a;
  getarccoords(&a);
  EXPECT_EQ(a.xstart, 100);
  EXPECT_EQ(a.ystart, 150) << "-90 degrees points down";
  cleardevice();
  arc(100, 100, 270, 360, 50);
  EXPECT_TRUE(page() == negative);
  cleardevice();
  arc(100, 100, 405, 495, 50);
  getarccoords(&a);
  EXPECT_EQ(a.xstart, 135);
  EXPECT_EQ(a.ystart, 65);
  PageImage beyond = page();
  cleardevice();
  arc(100, 100, 45, 135, 50);
  EXPECT_TRUE(page() == beyond);
}

TEST_F(PrimitiveFigures, EqualAnglesDrawTheWholeCircle) {
  circle(100, 100, 50);
  PageImage whole = page();
  for (int angle : {0, 30, 90, 217, -45}) {
    cleardevice();
    arc(100, 100, angle, angle, 50);
    EXPECT_TRUE(page() == whole) << angle;
  }
}

TEST_F(PrimitiveFigures, FourQuarterArcsMakeTheCircleWithoutGapsOrExtras) {
  circle(150, 150, 61);
  PageImage whole = page();
  cleardevice();
  for (int start = 0; start < 360; start += 90) arc(150, 150, start, start + 90, 61);
  EXPECT_TRUE(page() == whole);
  cleardevice();
  for (int start = 10; start < 370; start += 120) arc(150, 150, start, start + 120, 61);
  EXPECT_EQ(page().differences(whole), 0) << "thirds from 10 degrees";
}

// -------------------------------------------------------- circles, ellipses
TEST_F(PrimitiveFigures, CircleIsSymmetricAndPassesThroughItsFourExtremes) {
  circle(100, 100, 50);
  PageImage image = page();
  const std::set<Pixel> ring = offsets(image, stored(WHITE), 100, 100);
  ASSERT_FALSE(ring.empty());
  for (Pixel p : {Pixel{50, 0}, Pixel{0, -50}, Pixel{-50, 0}, Pixel{0, 50}})
    EXPECT_TRUE(ring.count(p)) << p.first << "," << p.second;
  for (const Pixel& p : ring) {
    EXPECT_TRUE(ring.count({-p.first, p.second})) << "mirror in x at " << p.first << "," << p.second;
    EXPECT_TRUE(ring.count({p.first, -p.second})) << "mirror in y at " << p.first << "," << p.second;
    EXPECT_TRUE(ring.count({p.second, p.first})) << "diagonal at " << p.first << "," << p.second;
    const double r = std::hypot(p.first, p.second);
    EXPECT_LT(std::abs(r - 50), 1.0) << p.first << "," << p.second;
  }
  EXPECT_RECT((RECT{50, 50, 151, 151}), image.bounds(stored(WHITE))) << "101 pixels across";
  EXPECT_EQ(image.count(stored(WHITE), 50, 100, 151, 101), 2) << "row 100 meets it twice";
}

TEST_F(PrimitiveFigures, EllipseTouchesEveryEdgeOfItsBoxAndIsSymmetric) {
  ellipse(200, 100, 0, 360, 80, 40);
  PageImage image = page();
  EXPECT_RECT((RECT{120, 60, 281, 141}), image.bounds(stored(WHITE)));
  for (Pixel p : {Pixel{280, 100}, Pixel{120, 100}, Pixel{200, 60}, Pixel{200, 140}})
    EXPECT_TRUE(image.is(p.first, p.second, WHITE)) << p.first << "," << p.second;
  const std::set<Pixel> ring = offsets(image, stored(WHITE), 200, 100);
  for (const Pixel& p : ring) {
    EXPECT_TRUE(ring.count({-p.first, p.second})) << p.first << "," << p.second;
    EXPECT_TRUE(ring.count({p.first, -p.second})) << p.first << "," << p.second;
    const double e = std::pow(p.first / 80.0, 2) + std::pow(p.second / 40.0, 2);
    EXPECT_NEAR(e, 1.0, 0.06) << p.first << "," << p.second;
  }
}

TEST_F(PrimitiveFigures, FillellipseOutlinesAndFillsItsBoxSymmetrically) {
  setcolor(YELLOW);
  setfillstyle(SOLID_FILL, RED);
  fillellipse(20, 60, 10, 30);
  PageImage image = page();
  EXPECT_RECT((RECT{10, 30, 31, 91}), image.bounds(stored(YELLOW)));
  EXPECT_RECT((RECT{11, 31, 30, 90}), image.bounds(stored(RED))) << "the fill inside the outline";
  EXPECT_TRUE(image.is(20, 60, RED));
  for (int y = 30; y <= 90; ++y)
    for (int x = 10; x <= 30; ++x) {
      EXPECT_EQ(image.at(x, y), image.at(40 - x, y)) << x << "," << y;
      EXPECT_EQ(image.at(x, y), image.at(x, 120 - y)) << x << "," << y;
    }
  for (int y = 31; y < 90; ++y) {  // every row: outline, fill, outline
    int x = 10;
    while (image.is(x, y, BLACK)) ++x;
    EXPECT_TRUE(image.is(x, y, YELLOW)) << y;
    while (image.is(x, y, YELLOW)) ++x;
    if (y > 31 && y < 89) {
      EXPECT_TRUE(image.is(x, y, RED)) << y;
    }
  }
}

// ---------------------------------------------------------------- bar3d
TEST_F(PrimitiveFigures, Bar3dOutlinesTheSideAndTheTopThroughTheirCorners) {
  setfillstyle(SOLID_FILL, BLUE);
  bar3d(10, 20, 50, 80, 10, 1);
  PageImage image = page();
  for (Pixel p : {Pixel{50, 80}, Pixel{60, 75}, Pixel{60, 15}, Pixel{50, 20}, Pixel{20, 15},
                  Pixel{10, 20}})
    EXPECT_TRUE(image.is(p.first, p.second, WHITE)) << p.first << "," << p.second;
  EXPECT_EQ(image.count(stored(WHITE), 60, 15, 61, 76), 61) << "the back edge";
  EXPECT_EQ(image.count(stored(WHITE), 20, 15, 61, 16), 41) << "the top's back edge";
  EXPECT_EQ(image.count(stored(BLUE), 11, 21, 50, 80), 39 * 59) << "the front face is filled";
  EXPECT_EQ(image.count(stored(BLUE)), 39 * 59) << "side and top are not";
  EXPECT_RECT((RECT{10, 15, 61, 81}), image.bounds(stored(WHITE)));
}

TEST_F(PrimitiveFigures, Bar3dWithoutTopOrDepth) {
  setfillstyle(SOLID_FILL, BLUE);
  bar3d(10, 20, 50, 80, 10, 0);
  PageImage no_top = page();
  EXPECT_TRUE(no_top.is(60, 15, WHITE)) << "the side still reaches the back corner";
  EXPECT_EQ(no_top.count(stored(WHITE), 11, 15, 51, 20), 0) << "no top outline";
  EXPECT_TRUE(no_top.is(58, 16, WHITE)) << "the side's upper edge";

  cleardevice();
  bar3d(10, 20, 50, 80, 0, 1);
  PageImage flat_top = page();
  EXPECT_RECT((RECT{10, 20, 51, 81}), flat_top.bounds(stored(WHITE))) << "no side, nothing above";
  cleardevice();
  bar3d(10, 20, 50, 80, 0, 0);
  EXPECT_TRUE(page() == flat_top) << "the top of depth 0 lies on the front face's edge";
}

// ------------------------------------------------------ rectangles, bars
TEST_F(PrimitiveFigures, RectangleDrawsItsFortyEdgePixelsAndLeavesTheInside) {
  scribble();
  PageImage before = page();
  ASSERT_EQ(before.count(stored(YELLOW)), 0);
  setcolor(YELLOW);
  rectangle(10, 10, 20, 20);
  PageImage after = page();
  EXPECT_EQ(after.differences(before), 40);
  for (int i = 10; i <= 20; ++i) {
    EXPECT_TRUE(after.is(i, 10, YELLOW) && after.is(i, 20, YELLOW)) << i;
    EXPECT_TRUE(after.is(10, i, YELLOW) && after.is(20, i, YELLOW)) << i;
  }
  for (int y = 11; y < 20; ++y)
    for (int x = 11; x < 20; ++x) EXPECT_EQ(after.at(x, y), before.at(x, y)) << x << "," << y;
  cleardevice();
  rectangle(20, 20, 10, 10);
  EXPECT_EQ(page().count(stored(YELLOW)), 40) << "reversed corners, the same outline";
}

TEST_F(PrimitiveFigures, BarFillsFromTheTopLeftUpToButNotIncludingTheOtherCorner) {
  setfillstyle(SOLID_FILL, GREEN);
  bar(10, 10, 20, 20);
  PageImage image = page();
  EXPECT_RECT((RECT{10, 10, 20, 20}), image.bounds(stored(GREEN)));
  EXPECT_EQ(image.count(stored(GREEN)), 100);
  EXPECT_EQ(image.count(stored(WHITE)), 0) << "no outline";
  bar(30, 10, 30, 40);
  EXPECT_EQ(page().count(stored(GREEN)), 100) << "a bar of no width fills nothing";
}

// --------------------------------------------------------- lines, position
TEST_F(PrimitiveFigures, LineCoversBothEndPointsAndKeepsThePosition) {
  moveto(7, 8);
  line(20, 30, 10, 10);
  EXPECT_EQ(getx(), 7);
  EXPECT_EQ(gety(), 8);
  PageImage image = page();
  EXPECT_TRUE(image.is(20, 30, WHITE));
  EXPECT_TRUE(image.is(10, 10, WHITE));
  EXPECT_EQ(image.count(stored(WHITE)), 21) << "one pixel per step of the longer axis, and the end";
  cleardevice();
  line(0, 5, 9, 5);
  EXPECT_RECT((RECT{0, 5, 10, 6}), page().bounds(stored(WHITE)));
  line(3, 3, 3, 3);
  EXPECT_TRUE(page().is(3, 3, WHITE)) << "a line of no length is its point";
  EXPECT_EQ(page().count(stored(WHITE)), 11);
}

TEST_F(PrimitiveFigures, LinetoAndLinerelChainFromTheCurrentPosition) {
  moveto(10, 10);
  lineto(50, 60);
  EXPECT_EQ(getx(), 50);
  EXPECT_EQ(gety(), 60);
  EXPECT_TRUE(page().is(10, 10, WHITE));
  EXPECT_TRUE(page().is(50, 60, WHITE));
  linerel(10, -5);
  EXPECT_EQ(getx(), 60);
  EXPECT_EQ(gety(), 55);
  PageImage image = page();
  EXPECT_TRUE(image.is(60, 55, WHITE));
  EXPECT_EQ(image.count(stored(WHITE)), 51 + 10) << "the shared end drawn once";
  linerel(-60, 0);
  EXPECT_EQ(getx(), 0);
  EXPECT_EQ(page().count(stored(WHITE), 0, 55, 61, 56), 61);
}

TEST_F(PrimitiveFigures, DrawpolyClosesOnlyWhenTheFirstPointIsRepeated) {
  int open[] = {10, 10, 60, 10, 60, 60};
  drawpoly(3, open);
  PageImage image = page();
  EXPECT_EQ(image.count(stored(WHITE)), 101) << "two sides, both ends drawn";
  EXPECT_TRUE(image.is(60, 60, WHITE));
  EXPECT_TRUE(image.is(35, 35, BLACK)) << "no closing side";
  cleardevice();
  int closed[] = {10, 10, 60, 10, 60, 60, 10, 10};
  drawpoly(4, closed);
  image = page();
  EXPECT_TRUE(image.is(35, 35, WHITE));
  EXPECT_TRUE(image.is(60, 60, WHITE));
  EXPECT_EQ(image.count(stored(WHITE)), 150) << "the first point drawn once";
}

TEST_F(PrimitiveFigures, FillpolyClosesTheOutlineItself) {
  setcolor(YELLOW);
  setfillstyle(SOLID_FILL, RED);
  int triangle[] = {10, 10, 60, 10, 60, 60};
  fillpoly(3, triangle);
  PageImage image = page();
  for (int i = 11; i < 60; ++i) EXPECT_TRUE(image.is(i, i, YELLOW)) << "closing side at " << i;
  EXPECT_TRUE(image.is(60, 60, YELLOW));
  EXPECT_TRUE(image.is(50, 30, RED));
  EXPECT_TRUE(image.is(30, 50, BLACK)) << "outside the closing side";
  EXPECT_EQ(image.count(stored(RED)) + image.count(stored(YELLOW)),
            image.count(stored(RED), 10, 10, 61, 61) + image.count(stored(YELLOW), 10, 10, 61, 61));
}

// ---------------------------------------------------------------- clearing
TEST_F(PrimitiveFigures, CleardeviceClearsThePageWhateverTheClippedViewport) {
  scribble();
  setbkcolor(CYAN);
  setviewport(100, 50, 300, 200, 1);
  cleardevice();
  EXPECT_EQ(page().count(stored(CYAN)), kWidth * kHeight) << "the whole page";
  EXPECT_EQ(getx(), -100);
  EXPECT_EQ(gety(), -50);
  putpixel(150, 10, WHITE);
  putpixel(200, 10, WHITE);
  putpixel(-1, 10, WHITE);
  PageImage image = page();
  EXPECT_TRUE(image.is(250, 60, WHITE));
  EXPECT_TRUE(image.is(300, 60, CYAN)) << "the clipping is still in force";
  EXPECT_TRUE(image.is(99, 60, CYAN));
  viewporttype v;
  getviewsettings(&v);
  EXPECT_EQ(v.clip, 1);
}

TEST_F(PrimitiveFigures, ClearviewportClearsOnlyTheViewportAndGoesToItsCorner) {
  setbkcolor(LIGHTBLUE);
  for (int clip : {1, 0}) {
    setviewport(0, 0, kWidth, kHeight, 0);
    scribble();
    PageImage before = page();
    ASSERT_EQ(before.count(stored(LIGHTBLUE)), 0);
    setviewport(100, 50, 300, 200, clip);
    moveto(33, 44);
    clearviewport();
    EXPECT_EQ(getx(), 0);
    EXPECT_EQ(gety(), 0);
    PageImage after = page();
    EXPECT_EQ(after.count(stored(LIGHTBLUE), 100, 50, 300, 200), 200 * 150) << clip;
    EXPECT_EQ(after.differences(before), 200 * 150) << clip;
    for (int y = 40; y < 210; ++y) EXPECT_EQ(after.at(300, y), before.at(300, y)) << y;
    for (int x = 90; x < 310; ++x) EXPECT_EQ(after.at(x, 200), before.at(x, 200)) << x;
    putpixel(250, 10, WHITE);
    EXPECT_EQ(page().at(350, 60) == before.at(350, 60), clip == 1) << "the clipping is kept";
  }
}

// ------------------------------------------------------------- clipping
TEST_F(PrimitiveFigures, ClippingStopsAtTheViewportsRightAndBottomEdges) {
  setviewport(100, 50, 300, 200, 1);
  setfillstyle(SOLID_FILL, GREEN);
  fillellipse(0, 0, 30, 30);     // centre on the viewport's corner
  line(-50, 10, 400, 10);        // row 60
  line(50, -20, 50, 400);        // column 150
  bar(150, 100, 400, 400);       // from (250, 150) on
  circle(200, 75, 20);           // centre on column 300
  rectangle(120, -10, 260, 30);  // right side on column 360
  PageImage image = page();
  RECT inside{100, 50, 300, 200};
  auto outside_count = [&](uint32_t pixel) {
    return image.count(pixel) - image.count(pixel, inside.left, inside.top, inside.right, inside.bottom);
  };
  EXPECT_EQ(outside_count(stored(WHITE)), 0);
  EXPECT_EQ(outside_count(stored(GREEN)), 0);
  EXPECT_TRUE(image.is(100, 60, WHITE));
  EXPECT_TRUE(image.is(299, 60, WHITE));
  EXPECT_TRUE(image.is(150, 50, WHITE));
  EXPECT_TRUE(image.is(150, 199, WHITE));
  EXPECT_TRUE(image.is(299, 199, GREEN));
  EXPECT_TRUE(image.is(299, 105, WHITE)) << "the circle's left part up to the edge";
  EXPECT_TRUE(image.is(280, 125, WHITE));
  EXPECT_TRUE(image.is(100, 50, GREEN)) << "a quarter of the filled ellipse";
  EXPECT_TRUE(image.is(130, 50, WHITE)) << "its outline's right extreme";
  EXPECT_TRUE(image.is(220, 50, WHITE)) << "the rectangle's left side";
  EXPECT_EQ(image.count(stored(WHITE), 220, 80, 300, 81), 80) << "its bottom up to the edge";
}

TEST_F(PrimitiveFigures, ClippingNeverMovesAPixelOrADash) {
  const std::function<void()> figures[] = {
      [] { line(-37, 20, 390, 160); },
      [] {
        setlinestyle(USERBIT_LINE, 0x0F3F, NORM_WIDTH);
        line(-37, 150, 390, -20);
      },
      [] {
        setlinestyle(DASHED_LINE, 0, 5);
        line(390, 5, -60, 140);
      },
      [] {
        setlinestyle(CENTER_LINE, 0, NORM_WIDTH);
        circle(120, 100, 70);
      },
      [] {
        setlinestyle(USERBIT_LINE, 0x00FF, 7);
        arc(120, 100, 200, 100, 70);
      },
      [] { ellipse(100, 90, 0, 360, 95, 45); },
      [] { pieslice(130, 120, 30, 250, 60); },
      [] {
        int star[] = {130, 0, 160, 200, 10, 60, 250, 60, 100, 200};
        fillpoly(5, star);
      },
  };
  setfillstyle(LTSLASH_FILL, LIGHTGREEN);
  int n = 0;
  for (const auto& draw : figures) {
    setviewport(0, 0, kWidth, kHeight, 0);
    cleardevice();
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    draw();
    const PageImage whole = page();
    cleardevice();
    setviewport(0, 0, 137, 111, 1);
    setlinestyle(SOLID_LINE, 0, NORM_WIDTH);
    draw();
    const PageImage clipped = page();
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const uint32_t want = x < 137 && y < 111 ? whole.at(x, y) : stored(BLACK);
        wrong += clipped.at(x, y) != want;
      }
    EXPECT_EQ(wrong, 0) << "figure " << n;
    EXPECT_GT(whole.count(stored(WHITE), 0, 0, 137, 111), 0) << "figure " << n;
    ++n;
  }
}

TEST_F(PrimitiveFigures, WithoutClippingTheViewportOnlyMovesTheOrigin) {
  setviewport(100, 50, 300, 200, 0);
  putpixel(200, 10, WHITE);
  line(0, 160, 250, 160);
  PageImage image = page();
  EXPECT_TRUE(image.is(300, 60, WHITE));
  EXPECT_TRUE(image.is(349, 210, WHITE));
  EXPECT_TRUE(image.is(100, 210, WHITE));
}

// ------------------------------------------------------------------ pixels
TEST_F(PrimitiveFigures, PixelsRoundTripAsColourValues) {
  for (int c = 0; c < 16; ++c) {
    putpixel(10 + c, 10, c);
    EXPECT_EQ(getpixel(10 + c, 10), c);
    EXPECT_EQ(page().at(10 + c, 10), stored(c));
  }
  const int dark_red = COLOR(5, 0, 0);
  EXPECT_EQ(dark_red, 5 | 0x03000000);
  putpixel(30, 10, dark_red);
  EXPECT_EQ(getpixel(30, 10), dark_red) << "an explicit colour keeps its flag";
  EXPECT_EQ(page().at(30, 10), 0x050000u);
  putpixel(31, 10, COLOR(255, 255, 0));
  EXPECT_EQ(getpixel(31, 10), YELLOW) << "a table colour reads back as its index";
  putpixel(32, 10, 0x00FFFF);  // explicit yellow without the flag
  EXPECT_EQ(getpixel(32, 10), YELLOW);
  putpixel(33, 10, -1);  // no range check: the low 24 bits, white
  EXPECT_EQ(getpixel(33, 10), WHITE);
  for (Pixel p : {Pixel{-1, 0}, Pixel{0, -1}, Pixel{kWidth, 0}, Pixel{0, kHeight},
                  Pixel{INT_MIN, INT_MIN}, Pixel{INT_MAX, INT_MAX}})
    EXPECT_EQ(getpixel(p.first, p.second), -1) << p.first << "," << p.second;
  setviewport(100, 50, 300, 200, 1);
  putpixel(50, 10, RED);
  EXPECT_EQ(getpixel(50, 10), RED) << "viewport coordinates";
  EXPECT_EQ(page().at(150, 60), stored(RED));
  EXPECT_EQ(getpixel(-90, -40), -1) << "client (10, 10) lies outside the clip rectangle";
}

TEST_F(PrimitiveFigures, GetdisplaycolorAnswersAndPutsThePixelBack) {
  setviewport(100, 50, 300, 200, 1);
  putpixel(0, 0, LIGHTMAGENTA);
  EXPECT_EQ(getdisplaycolor(WHITE), WHITE);
  EXPECT_EQ(getdisplaycolor(CYAN), CYAN);
  EXPECT_EQ(getdisplaycolor(COLOR(1, 2, 3)), COLOR(1, 2, 3));
  EXPECT_EQ(getdisplaycolor(0x00FFFF), YELLOW);
  EXPECT_TRUE(page().is(100, 50, LIGHTMAGENTA));
  setviewport(500, 0, 600, 10, 1);
  EXPECT_EQ(getdisplaycolor(WHITE), -1) << "the corner is off the page";
}
