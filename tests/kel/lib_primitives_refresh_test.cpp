// The repaint each primitive asks for: its box, one past the last column
// and row, moved by the viewport's origin; the whole window for polygons,
// flood fills and clearing; and nothing for boxes while refresh is off.
#include "lib_primitives_support.h"

using namespace prim_test;
using kel_test::HeldPainting;

namespace {

class PrimitiveRefresh : public PrimitivesTest {
 protected:
  const RECT whole_ = {0, 0, kWidth, kHeight};
};

}  // namespace

TEST_F(PrimitiveRefresh, BoxesOfTheFigures) {
  HeldPainting held;
  circle(100, 100, 50);
  EXPECT_RECT((RECT{50, 50, 151, 151}), held.take());
  line(20, 30, 10, 10);
  EXPECT_RECT((RECT{10, 10, 21, 31}), held.take());
  bar3d(10, 20, 50, 80, 10, 1);
  EXPECT_RECT((RECT{10, 15, 61, 81}), held.take());
  bar3d(10, 20, 50, 80, 0, 0);
  EXPECT_RECT((RECT{10, 20, 51, 81}), held.take());
  arc(100, 100, 45, 135, 50);
  EXPECT_RECT((RECT{50, 50, 151, 151}), held.take()) << "the whole box, not just the arc";
  putpixel(7, 9, WHITE);
  EXPECT_RECT((RECT{7, 9, 8, 10}), held.take());
  getdisplaycolor(RED);
  EXPECT_RECT((RECT{0, 0, 1, 1}), held.take());
}

// A wide pen reaches half its thickness, rounded up, beyond the thin figure:
// the box grows by that much on every side.
TEST_F(PrimitiveRefresh, BoxesOfWidePensGrowByThePensReach) {
  HeldPainting held;
  setlinestyle(SOLID_LINE, 0, 9);
  line(100, 100, 200, 100);
  EXPECT_RECT((RECT{95, 95, 206, 106}), held.take());
  EXPECT_GE(page().bounds(stored(WHITE)).left, 95) << "the box holds what was drawn";
  setlinestyle(SOLID_LINE, 0, THICK_WIDTH);
  rectangle(10, 20, 50, 80);
  EXPECT_RECT((RECT{8, 18, 53, 83}), held.take());
  moveto(300, 200);
  lineto(250, 150);
  EXPECT_RECT((RECT{248, 148, 303, 203}), held.take());
  circle(100, 100, 50);
  EXPECT_RECT((RECT{48, 48, 153, 153}), held.take());
  setlinestyle(SOLID_LINE, 0, 8);
  setviewport(100, 50, 300, 200, 1);
  linerel(10, 0);
  EXPECT_RECT((RECT{96, 46, 115, 55}), held.take()) << "in client coordinates";
  putpixel(7, 9, WHITE);
  EXPECT_RECT((RECT{107, 59, 108, 60}), held.take()) << "a pixel is not drawn with the pen";
}

TEST_F(PrimitiveRefresh, BoxesMoveWithTheViewportOrigin) {
  setviewport(100, 50, 300, 200, 1);
  HeldPainting held;
  circle(100, 100, 50);
  EXPECT_RECT((RECT{150, 100, 251, 201}), held.take());
  line(20, 30, 10, 10);
  EXPECT_RECT((RECT{110, 60, 121, 81}), held.take());
  bar3d(10, 20, 50, 80, 10, 1);
  EXPECT_RECT((RECT{110, 65, 161, 131}), held.take());
  putpixel(0, 0, WHITE);
  EXPECT_RECT((RECT{100, 50, 101, 51}), held.take());
  moveto(-10, -20);
  linerel(30, 5);
  EXPECT_RECT((RECT{90, 30, 121, 36}), held.take()) << "outside the clip, still asked for";
}

TEST_F(PrimitiveRefresh, BoxesBeyondTheWindowAreCutToIt) {
  HeldPainting held;
  circle(350, 250, 100);
  EXPECT_RECT((RECT{250, 150, kWidth, kHeight}), held.take());
  bar(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_RECT(whole_, held.take());
  setviewport(100, 50, 300, 200, 0);
  fillellipse(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  EXPECT_RECT((RECT{100, 50, kWidth, kHeight}), held.take()) << "the box from 0 to INT_MAX";
  fillellipse(INT_MAX, INT_MAX, 10, 10);
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take()) << "a box wholly off the window";
  line(INT_MAX - 200, INT_MAX - 200, INT_MAX, INT_MAX);
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take()) << "a box moved by the viewport past INT_MAX";
  circle(0, 0, 1000000000);
  EXPECT_RECT(whole_, held.take());
}

TEST_F(PrimitiveRefresh, PolygonsFloodFillsAndClearingAskForTheWholeWindow) {
  int triangle[] = {10, 10, 50, 10, 30, 40};
  setviewport(100, 50, 300, 200, 1);
  HeldPainting held;
  fillpoly(3, triangle);
  EXPECT_RECT(whole_, held.take());
  drawpoly(3, triangle);
  EXPECT_RECT(whole_, held.take());
  floodfill(5, 5, WHITE);
  EXPECT_RECT(whole_, held.take());
  floodfill(-500, -500, WHITE);
  EXPECT_RECT(whole_, held.take()) << "even when nothing was filled";
  cleardevice();
  EXPECT_RECT(whole_, held.take());
  clearviewport();
  EXPECT_RECT(whole_, held.take());
  drawpoly(0, nullptr);
  EXPECT_RECT(whole_, held.take());
}

TEST_F(PrimitiveRefresh, WithRefreshOffBoxesAreNotAskedForButTheWholeWindowIs) {
  setrefreshingkel(false);
  HeldPainting held;
  circle(100, 100, 50);
  line(0, 0, 10, 10);
  bar(0, 0, 10, 10);
  putpixel(1, 1, WHITE);
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take());
  int triangle[] = {10, 10, 50, 10, 30, 40};
  fillpoly(3, triangle);
  EXPECT_RECT(whole_, held.take());
  setrefreshingkel(true);
  setactivepage(1);
  circle(100, 100, 50);
  cleardevice();
  EXPECT_RECT((RECT{0, 0, 0, 0}), held.take()) << "a hidden page shows nothing";
}

TEST_F(PrimitiveRefresh, TheShownPictureFollowsThePage) {
  setviewport(100, 50, 300, 200, 1);
  setcolor(YELLOW);
  circle(100, 100, 50);
  setfillstyle(INTERLEAVE_FILL, LIGHTGREEN);
  bar(10, 10, 60, 40);
  kel_test::Shown shown;
  PageImage image = page();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      ASSERT_EQ(shown.at(x, y), image.at(x, y)) << x << "," << y;
}
